// The three task kinds: order and device reminders, and the database backup.
#include "runner/druhy_uloh.h"

#include "core/zaloha.h"
#include "runner/beh.h"
#include "runner/doruczpravu.h"
#include "runner/naplnsablonu.h"
#include "runner/zapislog.h"

namespace dorvik {
namespace {

// Walks the host rows the statement selects: fills the template from each and delivers it.
void pripomen(Beh& beh, const std::string& sql, std::string_view druh) {
  db::Statement& prace = *beh.prace;
  db::Statement& uloha = *beh.uloha;
  prace.execute(sql);
  while (prace.next()) {
    const std::int64_t klic = prace.field(0).asInt();
    const std::string zprava = naplnsablonu(uloha.field("zprava").asText(), druh, klic, beh.con);
    doruczpravu(zprava, "servis " + prace.field("cislozakazky").asText(), uloha.field("uzivatele").asText(),
                uloha.field("doemailu").asBool(), uloha.field("dochatu").asBool(), beh);
  }
}

}  // namespace

void zakazky(Beh& beh) {
  pripomen(beh,
           "select * from opravy where vysledek='' and predatumzhotoveni-getdate()<" + beh.uloha->field("dni").asText(),
           "zakazka");
}

void zarizeni(Beh& beh) {
  pripomen(beh,
           "select * from devices where active=1 and nextdate-getdate()<" + beh.uloha->field("dni").asText() +
               " and nextdate-GETDATE()>-200",
           "zarizeni");
}

void zalohovani(Beh& beh) {
  db::Statement& uloha = *beh.uloha;
  const std::string vysledek = zalohujdb(uloha.field("kam").asText(), beh.con);
  if (!vysledek.empty()) zapislog(beh.slozka, beh.idulohy, vysledek);
  // "success~failure"; a text without "~" has no failure text, which then is empty.
  const std::string zprava = uloha.field("zprava").asText();
  const auto vlnovka = zprava.find('~');
  std::string text;
  if (vysledek.empty()) {
    text = zprava.substr(0, vlnovka);
  } else if (vlnovka != std::string::npos) {
    const auto dalsi = zprava.find('~', vlnovka + 1);
    text = zprava.substr(vlnovka + 1, dalsi == std::string::npos ? std::string::npos : dalsi - vlnovka - 1);
  }
  doruczpravu(text, "dorvik zaloha", uloha.field("uzivatele").asText(), uloha.field("doemailu").asBool(),
              uloha.field("dochatu").asBool(), beh);
}

}  // namespace dorvik
