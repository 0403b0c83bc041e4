// The built service with the real runner against two stand-in servers: outages, a server switch, catch-up, no duplicates.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <sstream>

#include "core/agent_tables.h"
#include "core/db/connection.h"
#include "core/db/statement.h"
#include "tests/common/closed_port.h"
#include "tests/common/setup_folder.h"
#include "tests/support/standin_server.h"

namespace dorvik {
namespace {

using namespace std::chrono_literals;

std::string fixture(const char* name) {
  std::ifstream in(std::string(DORVIK_SOURCE_DIR) + "/tests/fixtures/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Tasks 1-5 of kind "zakazka", each telling novak by chat:
// 1 due at :10, 2 at :10 but inactive, 3 at :10 but expired, 4 due at :11, 5 due at :09.
constexpr const char* kTasks = R"(
insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values (N'zakazka', N'úloha 1: <cislozakazky>', N'novak;', N'', 0, 1, 7, '1899-12-30 08:10:00', '2026-12-01 09:00:00', '2027-12-31 00:00:00', 1)
insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values (N'zakazka', N'úloha 2: <cislozakazky>', N'novak;', N'', 0, 1, 7, '1899-12-30 08:10:00', '2026-12-01 09:00:00', '2027-12-31 00:00:00', 0)
insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values (N'zakazka', N'úloha 3: <cislozakazky>', N'novak;', N'', 0, 1, 7, '1899-12-30 08:10:00', '2026-12-01 09:00:00', '2026-06-01 00:00:00', 1)
insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values (N'zakazka', N'úloha 4: <cislozakazky>', N'novak;', N'', 0, 1, 7, '1899-12-30 07:11:00', '2026-12-01 09:00:00', '2027-12-31 00:00:00', 1)
insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values (N'zakazka', N'úloha 5: <cislozakazky>', N'novak;', N'', 0, 1, 7, '1899-12-30 08:09:00', '2026-12-01 09:00:00', '2027-12-31 00:00:00', 1)
)";

// A host database with the agent tables and the five tasks, its clock starting at `clock`.
std::unique_ptr<test::StandinServer> hostServer(const std::string& clock) {
  test::StandinServer::Options o;
  o.clock = clock;
  auto server = std::make_unique<test::StandinServer>(o);
  test::runScript(*server, "vorlak", fixture("host_database.sql"));
  db::Connection con;
  con.open(server->connectionString("vorlak"), 10);
  aktualizujdb(con);
  test::runScript(*server, "vorlak", kTasks);
  return server;
}

std::int64_t chatMessages(const test::StandinServer& server) {
  db::Connection con;
  con.open(server.connectionString("vorlak"), 10);
  db::Statement q(con);
  q.execute("select count(*) from zpravychat");
  q.next();
  return q.field(0).asInt();
}

std::size_t occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Dvsc, LaunchesEachDueTaskOnceAcrossOutagesAndAServerSwitch) {
  // Minute :09 on the first server; minutes :10 and :11 on the second, which the service must catch up.
  auto first = hostServer("2026-12-11 08:09:15");
  auto second = hostServer("2026-12-11 08:11:02");

  testing::SetupFolder setup;
  setup.addProgram("uloha");
  setup.addProgram("dvsc/dvsc");
  Nastaveni n;
  n.serverportle = "127.0.0.1," + std::to_string(testing::closedPort());
  n.databazecb = "vorlak";
  n.heslole = "Heslo1";
  n.chatusercb = "recepce";
  n.dvscse = 1;
  setup.writeSettings(n);

  auto log = [&] { return setup.readFile("dvsc/dvsc.log"); };
  auto dvsc = setup.start("dvsc/dvsc", {}, "dvsc.out");

  // Database down: one failure line per poll, and the service keeps polling.
  ASSERT_TRUE(testing::waitFor([&] { return occurrences(log(), ": 127.0.0.1:  chyba: DatabaseError, ") >= 2; }, 15s))
      << log();

  // The first server: minute :09 launches task 5, and the runner delivers on that server.
  n.serverportle = first->serverPort();
  setup.writeSettings(n);
  const std::string runner = setup.path() + "dvsc/../uloha;";
  ASSERT_TRUE(testing::waitFor([&] { return chatMessages(*first) == 2; }, 20s)) << log();

  // The second server is at :11: the missed minute :10 comes first, then :11.
  n.serverportle = second->serverPort();
  setup.writeSettings(n);
  ASSERT_TRUE(testing::waitFor([&] { return chatMessages(*second) == 4; }, 20s)) << log();
  std::this_thread::sleep_for(2500ms);  // a few more polls within minute :11
  EXPECT_EQ(dvsc->stop(), 0) << "SIGTERM ends the service normally";

  const std::string text = log();
  for (const char* id : {"5", "1", "4"}) EXPECT_EQ(occurrences(text, runner + id + "\r\n"), 1u) << id << "\n" << text;
  for (const char* id : {"2", "3"}) EXPECT_EQ(occurrences(text, runner + id + "\r\n"), 0u) << id << "\n" << text;
  EXPECT_LT(text.find(runner + "5\r\n"), text.find(runner + "1\r\n"));
  EXPECT_LT(text.find(runner + "1\r\n"), text.find(runner + "4\r\n")) << "the older minute first";
  EXPECT_EQ(setup.readFile("paramsc"), "4");
  EXPECT_EQ(occurrences(text, "nebyla spuštěna"), 0u) << text;
  EXPECT_EQ(setup.runLog(), "") << "the runner met no failure";
}

TEST(Dvsc, SlowRunnersRunOneAfterAnotherAndNoPollOverlaps) {
  auto server = hostServer("2026-12-11 08:10:01");
  test::runScript(*server, "vorlak", "update ulohy set cas='1899-12-30 08:10:00', aktivni=1, platnostdo='2027-12-31'");

  // A runner that takes two seconds and notes when it starts and ends, with the id it was handed.
  testing::SetupFolder setup;
  setup.addProgram("dvsc/dvsc");
  setup.writeFile("uloha",
                  "#!/bin/sh\ncd \"$(dirname \"$0\")\"\necho \"start $(cat paramsc)\" >> runs.txt\nsleep 2\n"
                  "echo \"end $(cat paramsc)\" >> runs.txt\n");
  std::filesystem::permissions(setup / "uloha", std::filesystem::perms::owner_all);
  Nastaveni n;
  n.serverportle = server->serverPort();
  n.databazecb = "vorlak";
  n.heslole = "Heslo1";
  n.dvscse = 1;
  setup.writeSettings(n);

  auto dvsc = setup.start("dvsc/dvsc", {}, "dvsc.out");
  ASSERT_TRUE(testing::waitFor([&] { return occurrences(setup.readFile("runs.txt"), "end") == 5; }, 40s))
      << setup.readFile("runs.txt");
  std::this_thread::sleep_for(1500ms);  // polls that follow, still within minute :10
  dvsc->stop();
  EXPECT_EQ(setup.readFile("runs.txt"),
            "start 1\nend 1\nstart 2\nend 2\nstart 3\nend 3\nstart 4\nend 4\nstart 5\nend 5\n")
      << "each due task once, strictly one runner at a time, while ticks fell due every second";
}

}  // namespace
}  // namespace dorvik
