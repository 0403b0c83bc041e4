// Tdvservice: settings reload, the poll and the launch of the runner.
#include "service/dvservice.h"

#include <thread>
#include <vector>

#include "core/db/statement.h"
#include "core/settings_file.h"
#include "core/testcon.h"
#include "platform/atomic_file.h"
#include "platform/console_launch.h"
#include "platform/file_append.h"
#include "platform/program_folder.h"
#include "service/zapislogsluzby.h"

namespace dorvik {
namespace {

constexpr int kDefaultInterval = 60;

std::string parentFolder() { return std::string("..") + platform::pathSeparator(); }

// Resets the poll flag however the poll ends.
struct PollFlag {
  bool& bezi;
  ~PollFlag() { bezi = false; }
};

}  // namespace

Tdvservice::Tdvservice(std::string slozka) : slozka_(std::move(slozka)) {}

void Tdvservice::ServiceCreate() {
  nastaveni_ = createSettingsDocument(slozka_);
  nactinastaveni();
}

void Tdvservice::ServiceStart() {
  nactinastaveni();
  tglobal_.bezi = false;
}

void Tdvservice::ServiceShutdown() { nastaveni_.reset(); }

void Tdvservice::nactinastaveni() {
  if (!nastaveni_) return;
  loadSettingsFile(*nastaveni_, slozka_ + parentFolder() + std::string(kSettingsFileName));
  tglobal_.serverport = nastaveni_->readString("con", "serverportle", "localhost,1433");
  tglobal_.jmeno = nastaveni_->readString("con", "jmenole", "sa");
  tglobal_.heslo = nastaveni_->readString("con", "heslole", "");
  tglobal_.databaze = nastaveni_->readString("con", "databazecb", "");
  int interval = nastaveni_->readInteger("setup", "dvscse", kDefaultInterval);
  if (interval < 1) {
    // An interval of 0 would stop all scheduling until a restart.
    if (nahlasenyInterval_ != interval) {
      zapislogsluzby("Neplatný interval dvscse=" + std::to_string(interval) + ", použit výchozí interval " +
                     std::to_string(kDefaultInterval) + " s.");
      nahlasenyInterval_ = interval;
    }
    interval = kDefaultInterval;
  } else {
    nahlasenyInterval_.reset();
  }
  timer_.setInterval(std::chrono::seconds(interval), PollTimer::Clock::now());
}

void Tdvservice::zapislogsluzby(std::string_view zprava) {
  platform::appendToFile(slozka_ + std::string(kServiceLogFileName),
                         radeklogusluzby(platform::localNow(), server_, zprava));
}

void Tdvservice::Timer1Timer() {
  if (tglobal_.bezi || !nastaveni_) return;
  tglobal_.bezi = true;
  PollFlag reset{tglobal_.bezi};
  try {
    poll();
  } catch (const std::exception& e) {
    zapislogsluzby(e.what());
  }
}

void Tdvservice::poll() {
  nactinastaveni();
  server_ = nazevserveru(tglobal_.serverport);
  if (!testconsluzby(con_, tglobal_.serverport, tglobal_.databaze, tglobal_.jmeno, tglobal_.heslo,
                     [this](const std::string& zprava) { zapislogsluzby(zprava); })) {
    return;
  }

  // The server's minute decides what is due. Minutes missed since the last
  // poll are caught up, oldest first, and a minute already handled is not
  // handled again, so every task runs once for each of its minutes.
  db::Statement hodiny(con_);
  hodiny.execute("select getdate()");
  if (!hodiny.next()) return;
  const DateTime ted = hodiny.field(0).asDateTime();
  const DateTime* posledni = posledniMinuta_ ? &*posledniMinuta_ : nullptr;
  const std::vector<DateTime> minuty = minutyKeZpracovani(posledni, ted);

  db::Statement q(con_);
  q.setSql("select id from ulohy where aktivni=1 and datepart(minute,cas)=:pminuta and platnostdo>:pcas");
  std::vector<int> ids;
  for (const DateTime& minuta : minuty) {
    q.setInt("pminuta", minuta.minute);
    q.setDateTime("pcas", minuta == naMinutu(ted) ? ted : minuta);
    q.execute();
    while (q.next()) ids.push_back(static_cast<int>(q.field(0).asInt()));
  }
  q.close();
  posledniMinuta_ = naMinutu(ted);
  for (int id : ids) spustulohu(id);
}

void Tdvservice::spustulohu(int idulohy) {
  const std::string uloha = slozka_ + parentFolder() + "uloha" + platform::kExecutableSuffix;
  zapisparamsc(std::to_string(idulohy));
  zapislogsluzby(uloha + ";" + std::to_string(idulohy));
  const platform::LaunchOutcome outcome = platform::runInConsoleSession(uloha);
  if (!outcome.started) {
    // Without this line the launch line above would suggest that the task ran.
    zapislogsluzby("Úloha " + std::to_string(idulohy) + " nebyla spuštěna: " + outcome.reason);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
}

void Tdvservice::zapisparamsc(std::string_view text) {
  try {
    // Replaced whole, so a runner never reads a half-written id.
    platform::replaceFileAtomically(slozka_ + parentFolder() + "paramsc", text, /*ownerOnly=*/false);
  } catch (const std::exception& e) {
    zapislogsluzby(e.what());
  }
}

}  // namespace dorvik
