// Benchmark: one runner run over 1,000 due orders and 5 recipients (mail and chat) beside a bare loop of the same work.
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/agent_tables.h"
#include "core/db/connection.h"
#include "core/db/statement.h"
#include "core/mail/sendmailunit.h"
#include "core/mail/smtp_peer_test_support.h"
#include "platform/local_time.h"
#include "tests/common/setup_folder.h"
#include "tests/support/standin_server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kOrders = 1000;
const char* const kRecipients = "novak;svobodova;kral;horak;benes;";

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string fixture(const char* name) {
  std::ifstream in(std::string(DORVIK_SOURCE_DIR) + "/tests/fixtures/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The same statements and mails as the runner, with nothing else around them.
void bareLoop(dorvik::db::Connection& con, const dorvik::Nastaveni& n) {
  dorvik::db::Statement orders(con), row(con), user(con), chat(con);
  orders.execute("select * from opravy where vysledek='' and predatumzhotoveni-getdate()<7");
  while (orders.next()) {
    row.execute("select * from opravy where cislozakazky=" + orders.field(0).asText());
    row.next();
    const std::string text = "Zakázka " + row.field("cislozakazky").asText();
    std::string emails;
    std::string_view list(kRecipients);
    for (std::size_t start = 0, end; (end = list.find(';', start)) != std::string_view::npos; start = end + 1) {
      user.setSql("select email from users where uzivatel=:puzivatel");
      user.setText("puzivatel", list.substr(start, end - start));
      user.execute();
      if (user.next()) emails += user.field(0).asText() + ";";
    }
    std::string result;
    dorvik::posliemail(n.smtpserverle, n.smtpportle, "", "", n.osobale, n.smtpfromle, emails,
                       "servis " + row.field("cislozakazky").asText(), text, "", "", true, result);
    for (std::size_t start = 0, end; (end = list.find(';', start)) != std::string_view::npos; start = end + 1) {
      for (int lookup = 0; lookup < 2; ++lookup) {
        user.setSql("select userid from users where uzivatel=:puzivatel");
        user.setText("puzivatel", lookup == 0 ? list.substr(start, end - start) : std::string_view("recepce"));
        user.execute();
      }
      chat.execute("begin transaction");
      chat.setSql(
          "insert into zpravychat (zprava,odeslano,platnostod,platnostdo) values "
          "(:pzprava,:podeslano,:pplatnostod,:pplatnostdo);select scope_identity()");
      chat.setText("pzprava", text);
      for (const char* p : {"podeslano", "pplatnostod", "pplatnostdo"}) chat.setDateTime(p, dorvik::platform::localNow());
      chat.execute();
      chat.next();
      const auto id = chat.field(0).asInt();
      chat.setSql("insert into chat (idzpravy,idodkoho,idkomu) values (:pidzpravy,:pidodkoho,:pidkomu)");
      chat.setBigInt("pidzpravy", id);
      chat.setInt("pidodkoho", 4);
      chat.setInt("pidkomu", 1);
      chat.execute();
      chat.execute("commit transaction");
    }
  }
}

}  // namespace

int main() {
  dorvik::test::StandinServer::Options options;
  options.clock = "2026-12-11 08:10:00";
  dorvik::test::StandinServer server(options);
  dorvik::test::runScript(server, "vorlak", fixture("host_database.sql"));
  dorvik::db::Connection con;
  con.open(server.connectionString("vorlak"), 10);
  dorvik::aktualizujdb(con);
  dorvik::prikaz(con, "delete from opravy");
  dorvik::prikaz(con,
                 "insert into users (uzivatel,email) values ('kral','kral@servis-vorlak.example');"
                 "insert into users (uzivatel,email) values ('horak','horak@servis-vorlak.example');"
                 "insert into users (uzivatel,email) values ('benes','benes@servis-vorlak.example')");
  {
    dorvik::db::Statement insert(con);
    insert.setSql("insert into opravy (cislozakazky,zakaznik,predatumzhotoveni,vysledek) values (:pc,:pz,'2026-12-14',N'')");
    for (int i = 0; i < kOrders; ++i) {
      insert.setInt("pc", 2000 + i);
      insert.setText("pz", "Zákazník " + std::to_string(i));
      insert.execute();
    }
  }
  dorvik::prikaz(con, std::string("insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,aktivni) values "
                                  "('zakazka',N'Zakázka <cislozakazky> pro <zakaznik>','") +
                          kRecipients + "','',1,1,7,1)");

  dorvik::test::SmtpPeer peer;
  dorvik::testing::SetupFolder setup;
  setup.addProgram("uloha");
  dorvik::Nastaveni n;
  n.serverportle = server.serverPort();
  n.databazecb = "vorlak";
  n.heslole = "Heslo1";
  n.chatusercb = "recepce";
  n.smtpserverle = "127.0.0.1";
  n.smtpportle = std::to_string(peer.tlsPort());
  n.smtpfromle = "servis@servis-vorlak.example";
  setup.writeSettings(n);

  auto start = Clock::now();
  const auto run = setup.run("uloha", {"1"});
  const double runnerSeconds = secondsSince(start);
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  if (run.exitCode != 0 || peer.messageCount() != kOrders) {
    std::fprintf(stderr, "the runner failed: exit %d, %d mails\n%s%s", run.exitCode, peer.messageCount(),
                 run.err.c_str(), setup.runLog().c_str());
    return 1;
  }

  start = Clock::now();
  bareLoop(con, n);
  const double bareSeconds = secondsSince(start);
  rusage self{};
  getrusage(RUSAGE_SELF, &self);

  std::printf("%d due orders, 5 recipients, mail and chat (%d mails, %d chat messages per run)\n", kOrders, kOrders,
              5 * kOrders);
  std::printf("uloha      : %.2f s, peak RSS %.1f MB\n", runnerSeconds, static_cast<double>(children.ru_maxrss) / 1024.0);
  std::printf("bare loop  : %.2f s (peak RSS of this benchmark process %.1f MB)\n", bareSeconds,
              static_cast<double>(self.ru_maxrss) / 1024.0);
  std::printf("ratio      : %.2f\n", runnerSeconds / bareSeconds);
  return 0;
}
