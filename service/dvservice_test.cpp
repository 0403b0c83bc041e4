// The service module without a database: log lines, hand-off file, launches, interval and connection failures.
#include "service/dvservice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <fstream>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "platform/file_append.h"
#include "service/zapislogsluzby.h"
#include "tests/common/closed_port.h"
#include "tests/common/temp_folder.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

TEST(Zapislogsluzby, LineLayout) {
  std::setlocale(LC_TIME, "C");
  EXPECT_EQ(radeklogusluzby(DateTime{2026, 12, 11, 8, 15, 2, 0}, "db.example.test", "zprava"),
            "11.12.2026 8:15:02: db.example.test: zprava\r\n");
  EXPECT_EQ(radeklogusluzby(DateTime{2026, 12, 11, 8, 15, 2, 0}, "", "zprava"), "11.12.2026 8:15:02: : zprava\r\n")
      << "no server name before the first connection attempt";
}

// A setup folder with the service in its subfolder dvsc and a stand-in runner script.
class Sluzba : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(setup_ + "dvsc");
    std::setlocale(LC_TIME, "C");
  }

  std::string serviceFolder() const { return setup_ + "dvsc/"; }
  std::string serviceLog() const {
    const std::string path = serviceFolder() + "dvsc.log";
    return platform::fileExists(path) ? platform::readWholeFile(path) : "";
  }
  // A runner that records its arguments and the hand-off file it found.
  void installRunner() const {
    std::ofstream(setup_ + "uloha") << "#!/bin/sh\necho \"args=$# paramsc=$(cat \"$(dirname \"$0\")/paramsc\")\" >> \"$(dirname \"$0\")/runs.txt\"\n";
    ::chmod((setup_ + "uloha").c_str(), 0755);
  }
  void writeSettings(const Nastaveni& n) const {
    IniDocument doc;
    zapisnastaveni(doc, n);
    saveSettingsFile(doc, setup_ + "dorvik");
  }

  testing::TempFolder temp_;
  const std::string setup_ = temp_.path();
};

TEST_F(Sluzba, LaunchWritesTheHandOffLogsAndWaitsForTheRunner) {
  installRunner();
  Tdvservice sluzba(serviceFolder());
  sluzba.ServiceCreate();
  const auto start = std::chrono::steady_clock::now();
  sluzba.spustulohu(12);
  sluzba.spustulohu(-3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000)) << "one second after each";
  EXPECT_EQ(platform::readWholeFile(setup_ + "paramsc"), "-3") << "the id alone, no line end";
  EXPECT_EQ(platform::readWholeFile(setup_ + "runs.txt"), "args=0 paramsc=12\nargs=0 paramsc=-3\n")
      << "started without arguments, strictly one after the other";
  const std::string log = serviceLog();
  EXPECT_NE(log.find(": : " + serviceFolder() + "../uloha;12\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(": : " + serviceFolder() + "../uloha;-3\r\n"), std::string::npos) << log;
}

TEST_F(Sluzba, RunnerThatCannotStartIsLoggedAsNotStarted) {
  Tdvservice sluzba(serviceFolder());
  sluzba.ServiceCreate();
  sluzba.spustulohu(7);
  const std::string log = serviceLog();
  EXPECT_NE(log.find("../uloha;7\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(": Úloha 7 nebyla spuštěna: No such file or directory\r\n"), std::string::npos) << log;
}

TEST_F(Sluzba, HandOffThatCannotBeWrittenIsLoggedAndTheLaunchGoesOn) {
  installRunner();
  fs::create_directories(setup_ + "paramsc/blocked");
  Tdvservice sluzba(serviceFolder());
  sluzba.ServiceCreate();
  sluzba.spustulohu(5);
  const std::string log = serviceLog();
  EXPECT_NE(log.find("Cannot replace file \"" + serviceFolder() + "../paramsc\""), std::string::npos) << log;
  EXPECT_NE(log.find("../uloha;5\r\n"), std::string::npos) << log;
  EXPECT_TRUE(platform::fileExists(setup_ + "runs.txt")) << "the runner still ran";
}

TEST_F(Sluzba, IntervalFromTheSettingsAndAZeroIntervalMended) {
  Nastaveni n;
  n.dvscse = 45;
  writeSettings(n);
  Tdvservice sluzba(serviceFolder());
  sluzba.ServiceCreate();
  EXPECT_EQ(sluzba.Timer1().interval(), std::chrono::seconds(45));

  n.dvscse = 0;
  writeSettings(n);
  sluzba.nactinastaveni();
  sluzba.nactinastaveni();
  EXPECT_EQ(sluzba.Timer1().interval(), std::chrono::seconds(60));
  const std::string log = serviceLog();
  const std::string line = "Neplatný interval dvscse=0, použit výchozí interval 60 s.\r\n";
  EXPECT_NE(log.find(line), std::string::npos) << log;
  EXPECT_EQ(log.find(line), log.rfind(line)) << "logged once";

  fs::remove(setup_ + "dorvik");
  sluzba.nactinastaveni();
  EXPECT_EQ(sluzba.Timer1().interval(), std::chrono::seconds(60)) << "no file: the last values stay";
}

TEST_F(Sluzba, PollsThatCannotConnectLogOneLineEach) {
  Nastaveni n;
  n.serverportle = " 127.0.0.1 ," + std::to_string(testing::closedPort());
  writeSettings(n);
  Tdvservice sluzba(serviceFolder());
  sluzba.ServiceCreate();
  sluzba.Timer1Timer();
  sluzba.Timer1Timer();
  const std::string log = serviceLog();
  const std::string failure = ": 127.0.0.1:  chyba: DatabaseError, ";
  const auto first = log.find(failure);
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find(failure, first + 1), std::string::npos) << "a line per poll: " << log;

  n.serverportle = "127.0.0.1,x";
  writeSettings(n);
  sluzba.Timer1Timer();
  EXPECT_NE(serviceLog().find(": 127.0.0.1: 'x' is not a valid integer value\r\n"), std::string::npos)
      << "errors outside the connection attempt end the poll with their message: " << serviceLog();
}

TEST_F(Sluzba, NoPollAfterShutdown) {
  Nastaveni n;
  n.serverportle = "127.0.0.1," + std::to_string(testing::closedPort());
  writeSettings(n);
  Tdvservice sluzba(serviceFolder());
  sluzba.ServiceCreate();
  sluzba.ServiceShutdown();
  sluzba.Timer1Timer();
  EXPECT_EQ(serviceLog(), "");
}

}  // namespace
}  // namespace dorvik
