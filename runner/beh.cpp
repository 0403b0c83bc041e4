// spustuloha: the steps of one run, in order.
#include "runner/beh.h"

#include "core/integer_text.h"
#include "core/settings_file.h"
#include "core/testcon.h"
#include "runner/druhy_uloh.h"
#include "runner/nactiparamsc.h"
#include "runner/zapislog.h"

namespace dorvik {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kSpatneId = "Id úlohy nemá správný formát.";
constexpr std::string_view kChybiId = "Nebyl zadán parametr označující ID úlohy pro zpracování.";
constexpr std::string_view kChybaSpojeni =
    "Chyba spojení na databázi, nelze se připojit k sql serveru, úlohu nelze provést.";

}  // namespace

int spustuloha(const std::vector<std::string>& args, const std::string& slozka, std::ostream& console,
               const Pauza& pauza) {
  Beh beh;
  beh.slozka = slozka;

  // 1. Task id: the first argument, else the hand-off file.
  if (!args.empty()) {
    const auto id = tryParseInt32(args.front());
    if (!id) {
      console << kSpatneId << args.front() << std::endl;
      pauza(2000ms);
      return 0;
    }
    beh.idulohy = *id;
  } else {
    beh.idulohy = nactiparamsc(slozka);
    if (beh.idulohy == 0) {
      console << kChybiId << std::endl;
      pauza(2000ms);
      return 0;
    }
  }

  // 2. Settings.
  IniDocument settings = createSettingsDocument(slozka);
  loadSettingsFile(settings, slozka + std::string(kSettingsFileName));
  beh.nastaveni = prectinastaveni(settings);

  // 3. Connection.
  const Nastaveni& n = beh.nastaveni;
  if (!testcon(beh.con, n.serverportle, n.databazecb, n.jmenole, n.heslole, false, false, console)) {
    zapislog(slozka, beh.idulohy, kChybaSpojeni);
    return 0;
  }

  // 4.-5. Task row.
  beh.uloha = std::make_unique<db::Statement>(beh.con);
  beh.uloha->execute("select * from ulohy where id=" + std::to_string(beh.idulohy));
  if (!beh.uloha->next()) {
    console << kSpatneId << (args.empty() ? std::string() : args.front()) << std::endl;
    pauza(1000ms);
    return 0;
  }

  // 6.-7. Work query and dispatch; the three tests are independent.
  beh.prace = std::make_unique<db::Statement>(beh.con);
  if (beh.uloha->field("druh").asText() == "zakazka") zakazky(beh);
  if (beh.uloha->field("druh").asText() == "zarizeni") zarizeni(beh);
  if (beh.uloha->field("druh").asText() == "zalohovani") zalohovani(beh);
  return 0;
}

}  // namespace dorvik
