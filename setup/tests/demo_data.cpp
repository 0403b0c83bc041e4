// The demo tasks and settings behind the screenshots and the benchmark.
#include "setup/tests/demo_data.h"

#include "core/agent_tables.h"
#include "core/db/connection.h"
#include "tests/support/host_database.h"

namespace dorvik::setup::test {

Nastaveni demonastaveni(const dorvik::test::StandinServer& server) {
  Nastaveni n;
  n.serverportle = server.serverPort();
  n.jmenole = server.options().login;
  n.heslole = server.options().password;
  n.databazecb = "vorlak";
  n.osobale = "Servis Vorlak";
  n.smtpjmenole = "servis";
  n.smtpheslole = "tajne";
  n.smtpfromle = "servis@servis-vorlak.cz";
  n.smtpserverle = "smtp.servis-vorlak.cz";
  n.subjektle = "Upozornění ze servisu";
  n.smtpportle = "465";
  n.chatusercb = "Admin";
  return n;
}

void naplndemo(const dorvik::test::StandinServer& server) {
  dorvik::test::seedHostDatabase(server, "vorlak");
  {
    db::Connection con;
    con.open(server.connectionString("vorlak"), 10);
    aktualizujdb(con);
  }
  dorvik::test::runScript(server, "vorlak", R"sql(
insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values
 (N'zakazka',N'Zakázka [cislozakazky] pro [zakaznik] má být hotová [predatumzhotoveni].',N'Jana;Petr;',N'',1,1,7,'1899-12-30 08:10','2026-01-05 09:12','2027-12-31',1),
 (N'zakazka',N'Po termínu: zakázka [cislozakazky], [zarizeni].',N'Admin;',N'',1,0,0,'1899-12-30 13:30','2026-02-11 14:00','2027-06-30',1),
 (N'zarizeni',N'Zařízení [devicenumber] čeká servis [nextdate].',N'Petr;',N'',1,1,14,'1899-12-30 07:45','2026-03-01 10:00','2027-12-31',1),
 (N'zarizeni',N'Kontrola kompresoru [devicenumber].',N'Žofie;',N'',0,1,3,'1899-12-30 12:00','2026-03-02 11:20','2026-12-31',0),
 (N'zalohovani',N'Záloha proběhla v pořádku.~Záloha selhala, zkontrolujte disk.',N'Admin;',N'D:\zalohy',1,1,0,'1899-12-30 22:30','2026-01-05 09:30','2028-01-01',1)
)sql");
}

void pridejulohy(const dorvik::test::StandinServer& server, int count) {
  for (int done = 0; done < count;) {
    const int batch = std::min(1000, count - done);
    std::string sql =
        "insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values ";
    for (int i = 0; i < batch; ++i) {
      if (i) sql += ",";
      sql += "(N'zakazka',N'Upomínka " + std::to_string(done + i) +
             " pro zakázku [cislozakazky]',N'Jana;',N'',1,1,5,'1899-12-30 08:10','2026-01-05 09:12','2027-12-31',1)";
    }
    dorvik::test::runScript(server, "vorlak", sql);
    done += batch;
  }
}

}  // namespace dorvik::setup::test
