// The built runner against the SQL Server stand-in and the SMTP peer: the task row, the three kinds, delivery.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/agent_tables.h"
#include "core/testcon.h"
#include "core/db/connection.h"
#include "core/db/statement.h"
#include "core/mail/smtp_peer_test_support.h"
#include "platform/file_append.h"
#include "tests/common/closed_port.h"
#include "tests/common/setup_folder.h"
#include "tests/support/standin_server.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

std::size_t occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string fixture(const char* name) {
  std::ifstream in(std::string(DORVIK_SOURCE_DIR) + "/tests/fixtures/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

test::StandinServer::Options serverOptions() {
  test::StandinServer::Options o;
  o.clock = "2026-12-11 08:10:00";
  return o;
}

// The host database at 2026-12-11 08:10, the agent tables, and a setup folder whose runner points at it.
class UlohaDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    test::runScript(server_, "vorlak", fixture("host_database.sql"));
    con_.open(server_.connectionString("vorlak"), 10);
    aktualizujdb(con_);
    setup_.addProgram("uloha");
    settings_.serverportle = server_.serverPort();
    settings_.databazecb = "vorlak";
    settings_.jmenole = "sa";
    settings_.heslole = "Heslo1";
    settings_.chatusercb = "recepce";
    settings_.smtpserverle = "127.0.0.1";
    settings_.smtpportle = std::to_string(peer_.tlsPort());
    settings_.smtpfromle = "servis@servis-vorlak.example";
    settings_.osobale = "Servis Vorlák";
    setup_.writeSettings(settings_);
  }

  struct Task {
    std::string druh = "zakazka";
    std::string zprava = "Zakázka <cislozakazky>";
    std::string uzivatele = "novak;";
    std::string kam;
    bool doemailu = false, dochatu = true;
    std::optional<int> dni = 7;
  };

  int insertTask(const Task& t) {
    db::Statement q(con_);
    q.setSql(
        "insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values "
        "(:pdruh,:pzprava,:puzivatele,:pkam,:pdoemailu,:pdochatu,:pdni,:pcas,:pzalozeno,:pplatnostdo,:paktivni);"
        "select scope_identity()");
    q.setText("pdruh", t.druh);
    q.setText("pzprava", t.zprava);
    q.setText("puzivatele", t.uzivatele);
    q.setText("pkam", t.kam);
    q.setBool("pdoemailu", t.doemailu);
    q.setBool("pdochatu", t.dochatu);
    if (t.dni) q.setInt("pdni", *t.dni);
    else q.setNull("pdni", db::SqlType::Int);
    q.setDateTime("pcas", DateTime{1899, 12, 30, 8, 10, 0, 0});
    q.setDateTime("pzalozeno", DateTime{2026, 12, 1, 9, 0, 0, 0});
    q.setDateTime("pplatnostdo", DateTime{2027, 12, 31, 0, 0, 0, 0});
    q.setBool("paktivni", true);
    q.execute();
    EXPECT_TRUE(q.next());
    return static_cast<int>(q.field(0).asInt());
  }

  testing::RunResult run(int id) const { return setup_.run("uloha", {std::to_string(id)}); }

  // "<idzpravy>|<idodkoho>|<idkomu>|<zprava>" per chat row, in id order.
  std::vector<std::string> chatRows() {
    db::Statement q(con_);
    q.execute(
        "select c.idzpravy, c.idodkoho, c.idkomu, z.zprava from chat c left join zpravychat z on z.idzprava=c.idzpravy "
        "order by c.id");
    std::vector<std::string> rows;
    while (q.next()) {
      rows.push_back(q.field(0).asText() + "|" + q.field(1).asText() + "|" + q.field(2).asText() + "|" +
                     q.field(3).asText());
    }
    return rows;
  }
  std::int64_t count(const std::string& table) {
    db::Statement q(con_);
    q.execute("select count(*) from " + table);
    q.next();
    return q.field(0).asInt();
  }

  test::StandinServer server_{serverOptions()};
  test::SmtpPeer peer_;
  db::Connection con_;
  testing::SetupFolder setup_;
  Nastaveni settings_;
};

TEST_F(UlohaDatabase, NoTaskRowWithThatId) {
  const auto r = run(99);
  EXPECT_EQ(r.out, "Id úlohy nemá správný formát.99\n");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_GE(r.elapsed.count(), 900);
  EXPECT_EQ(setup_.runLog(), "");
}

TEST_F(UlohaDatabase, RefusedConnections) {
  struct Case {
    const char* name;
    std::string heslo, databaze, console;
  };
  const Case cases[] = {
      {"wrong password", "spatne", "vorlak", "Login failed for user 'sa'."},
      {"unknown database", "Heslo1", "neni", "Cannot open database \"neni\" requested by the login. The login failed."},
  };
  for (const Case& c : cases) {
    Nastaveni n = settings_;
    n.heslole = c.heslo;
    n.databazecb = c.databaze;
    setup_.writeSettings(n);
    const int before = static_cast<int>(setup_.runLog().size());
    const auto r = run(1);
    EXPECT_EQ(r.out.rfind("DatabaseError: ", 0), 0u) << c.name << ": " << r.out;
    EXPECT_NE(r.out.find(c.console), std::string::npos) << c.name << ": " << r.out;
    EXPECT_EQ(r.exitCode, 0) << c.name;
    EXPECT_NE(setup_.runLog().find(
                  ": ID ulohy: 1: Chyba spojení na databázi, nelze se připojit k sql serveru, úlohu nelze provést.\r\n",
                  static_cast<size_t>(before)),
              std::string::npos)
        << c.name;
  }
}

TEST_F(UlohaDatabase, KindsOtherThanTheThreeDoNothing) {
  for (const char* druh : {"Zakazka", "zakazka ", "", "zaloha"}) {
    Task t;
    t.druh = druh;
    const auto r = run(insertTask(t));
    EXPECT_EQ(r.exitCode, 0) << druh;
    EXPECT_EQ(r.out, "") << druh;
  }
  EXPECT_EQ(count("zpravychat"), 0);
  EXPECT_EQ(setup_.runLog(), "");
}

TEST_F(UlohaDatabase, NullDaysEndTheRunWithExitCodeOne) {
  Task t;
  t.dni.reset();
  const auto r = run(insertTask(t));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("DatabaseError: ", 0), 0u) << r.err;
  EXPECT_EQ(r.err.substr(r.err.size() - 2), "\r\n");
}

TEST_F(UlohaDatabase, OrderRemindersByMailAndChat) {
  Task t;
  t.zprava = "Zakázka <cislozakazky> (<ZAKAZNIK>) má termín <predatumzhotoveni>, cena <Cena>, <neznamy>.";
  t.uzivatele = "novak;svobodova;";
  t.doemailu = true;
  const auto r = run(insertTask(t));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(setup_.runLog(), "");

  const std::string first = "Zakázka 1001 (Marie Horáková) má termín 14.12.2026 16:00:00, cena 1250,50, <neznamy>.";
  const std::string second = "Zakázka 1002 (Tomáš Černý) má termín 9.12.2026 12:00:00, cena 890,00, <neznamy>.";
  ASSERT_EQ(peer_.messageCount(), 2) << "open orders due within 7 days: 1001 and the overdue 1002";
  EXPECT_EQ(peer_.message(1)["header.subject"], "servis 1001");
  EXPECT_EQ(peer_.message(2)["header.subject"], "servis 1002");
  EXPECT_EQ(peer_.message(1)["header.to"], "jan.novak@servis-vorlak.example, eva.svobodova@servis-vorlak.example");
  EXPECT_EQ(peer_.message(1)["rcpt_count"], "2");
  EXPECT_EQ(peer_.message(1)["part.1.content_type"], "text/plain");
  EXPECT_EQ(peer_.message(1)["part.1.text"], first);

  EXPECT_EQ(chatRows(), (std::vector<std::string>{"1|4|1|" + first, "2|4|2|" + first, "3|4|1|" + second,
                                                   "4|4|2|" + second}));
}

TEST_F(UlohaDatabase, DeviceRemindersWithinTheWindow) {
  Task t;
  t.druh = "zarizeni";
  t.zprava = "Servis zařízení <nazev> (<devicenumber>) dne <NEXTDATE>";
  const auto r = run(insertTask(t));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(chatRows(), (std::vector<std::string>{"1|4|1|Servis zařízení Kotel Vaillant ecoTEC (501) dne 15.12.2026 8:00:00",
                                                   "2|4|1|Servis zařízení Klimatizace Daikin (502) dne 1.9.2026 8:00:00"}))
      << "503 is inactive and 504 more than 200 days overdue";
}

TEST_F(UlohaDatabase, RecipientsThatCannotBeReached) {
  Task t;
  t.uzivatele = "novak; svobodova;dvorak;neexistuje;;";
  t.doemailu = true;
  t.zprava = "Zpráva";
  const auto r = run(insertTask(t));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(peer_.messageCount(), 2);
  EXPECT_EQ(peer_.message(1)["header.to"], "jan.novak@servis-vorlak.example")
      << "' svobodova' is no user and dvorak's address fails the check";
  const std::string log = setup_.runLog();
  EXPECT_NE(log.find(": ID ulohy: 1: neplatný příjemce (0) nebo odesilatel (4)\r\n"), std::string::npos) << log;
  EXPECT_EQ(chatRows().size(), 4u) << "novak and dvorak, for two orders";

  settings_.chatusercb = "";
  setup_.writeSettings(settings_);
  run(1);
  EXPECT_NE(setup_.runLog().find("neplatný příjemce (1) nebo odesilatel (0)\r\n"), std::string::npos);
  EXPECT_EQ(chatRows().size(), 4u) << "no sender: nothing inserted";
}

TEST_F(UlohaDatabase, MailFailureIsLoggedAndTheChatStillDelivered) {
  settings_.smtpportle = std::to_string(testing::closedPort());
  setup_.writeSettings(settings_);
  Task t;
  t.doemailu = true;
  const auto r = run(insertTask(t));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string log = setup_.runLog();
  EXPECT_EQ(occurrences(log, ": ID ulohy: 1: "), 2u) << "one failed mail per order: " << log;
  EXPECT_EQ(chatRows().size(), 2u);
}

TEST_F(UlohaDatabase, FailedChatInsertLeavesNoHalfMessage) {
  Task t;
  // Fits the task row, but not the chat message once filled.
  t.zprava = std::string(3980, 'x') + "<zarizeni><zarizeni>";
  const auto r = run(insertTask(t));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(setup_.runLog().find(": ID ulohy: 1: String or binary data would be truncated."), std::string::npos)
      << setup_.runLog();
  EXPECT_EQ(count("zpravychat"), 0);
  EXPECT_EQ(count("chat"), 0);
}

TEST_F(UlohaDatabase, ChatRowsPointAtTheirOwnMessageWhileOthersWrite) {
  // Another program inserts chat messages all the time the runner delivers.
  std::atomic<bool> stop{false};
  std::thread other([&] {
    db::Connection c;
    c.open(server_.connectionString("vorlak"), 10);
    db::Statement q(c);
    q.setSql("insert into zpravychat (zprava,odeslano,platnostod,platnostdo) values (:pzprava,getdate(),getdate(),getdate())");
    q.setText("pzprava", "cizí zpráva");
    while (!stop) q.execute();
  });
  Task t;
  t.zprava = "naše <cislozakazky>";
  t.uzivatele = "novak;svobodova;novak;svobodova;novak;";
  const int id = insertTask(t);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(run(id).exitCode, 0);
  stop = true;
  other.join();
  const auto rows = chatRows();
  ASSERT_EQ(rows.size(), 30u);
  int misattributed = 0;
  for (const std::string& row : rows) misattributed += row.find("|naše 100") == std::string::npos;
  EXPECT_EQ(misattributed, 0);
}

TEST_F(UlohaDatabase, BackupWithItsSuccessOrFailureText) {
  const std::string folder = setup_.path() + "zalohy";
  fs::create_directory(folder);
  Task t;
  t.druh = "zalohovani";
  t.zprava = "Záloha je hotová.~Záloha selhala!~třetí část";
  t.kam = folder;
  t.dni = 0;
  const int id = insertTask(t);
  ASSERT_EQ(run(id).exitCode, 0);
  EXPECT_EQ(setup_.runLog(), "");
  ASSERT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  const std::string file = fs::directory_iterator(folder)->path().filename().string();
  // Named after the database and the runner's own clock: vorlak_<d>_<M>_<yyyy>-<H>_<mm>_<ss>.bak.
  EXPECT_EQ(file.rfind("vorlak_", 0), 0u) << file;
  EXPECT_EQ(file.substr(file.size() - 4), ".bak") << file;
  EXPECT_EQ(file.find_first_of(" .:/\\"), file.size() - 4) << file;

  db::Statement q(con_);
  q.setSql("update ulohy set kam=:pkam where id=:pid");
  q.setText("pkam", folder + "/chybi");
  q.setInt("pid", id);
  q.execute();
  ASSERT_EQ(run(id).exitCode, 0);
  const std::string log = setup_.runLog();
  EXPECT_NE(log.find(": ID ulohy: " + std::to_string(id) +
                     ": Pozor, chyba při vytváření zálohy, zkontrolujte nastavení sql serveru a dostupnost úložiště ze "
                     "serveru. Cesta: " + folder + "/chybi\\vorlak_"),
            std::string::npos)
      << log;
  const auto rows = chatRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].substr(rows[0].rfind('|') + 1), "Záloha je hotová.");
  EXPECT_EQ(rows[1].substr(rows[1].rfind('|') + 1), "Záloha selhala!");
}

TEST_F(UlohaDatabase, BackupOfADatabaseWhoseNameNeedsQuoting) {
  const std::string name = "moje dílna.2024";
  prikaz(con_, "CREATE DATABASE [moje dílna.2024]");
  db::Connection other;
  other.open(pripojovaciretezec(rozeberspojeni(server_.serverPort(), name, "sa", "Heslo1", true)), 10);
  std::istringstream script(fixture("host_database.sql"));
  std::string batch;
  for (std::string line; std::getline(script, line);) {
    if (line == "go") {
      prikaz(other, batch);
      batch.clear();
    } else {
      batch += line + "\n";
    }
  }
  aktualizujdb(other);
  const std::string folder = setup_.path() + "zalohy O'Neil";
  fs::create_directory(folder);
  prikaz(other, "insert into ulohy (druh,zprava,uzivatele,kam,dni,aktivni) values ('zalohovani','ok~chyba','','" +
                    std::string("zalohy") + "',0,1)");
  db::Statement q(other);
  q.setSql("update ulohy set kam=:pkam");
  q.setText("pkam", folder);
  q.execute();
  settings_.databazecb = name;
  setup_.writeSettings(settings_);
  const auto r = run(1);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(setup_.runLog(), "");
  ASSERT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  const std::string file = fs::directory_iterator(folder)->path().filename().string();
  EXPECT_EQ(file.rfind("moje-dílna_2024_", 0), 0u) << file;
}

}  // namespace
}  // namespace dorvik
