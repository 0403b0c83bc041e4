// The built runner as a user starts it: arguments, hand-off file, settings and a closed database port.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/nastaveni.h"
#include "platform/file_append.h"
#include "tests/common/closed_port.h"
#include "tests/common/setup_folder.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

// A setup folder of its own with a copy of the runner, so that its files are found beside it.
class Uloha : public ::testing::Test {
 protected:
  void SetUp() override { setup_.addProgram("uloha"); }

  testing::RunResult run(const std::vector<std::string>& args) const { return setup_.run("uloha", args); }
  void write(const std::string& name, const std::string& bytes) const { setup_.writeFile(name, bytes); }
  std::string runLog() const { return setup_.runLog(); }
  void pointAtClosedPort() const {
    Nastaveni n;
    n.serverportle = "127.0.0.1," + std::to_string(testing::closedPort());
    n.databazecb = "vorlak";
    setup_.writeSettings(n);
  }

  testing::SetupFolder setup_;
  const std::string folder_ = setup_.path();
};

TEST_F(Uloha, ArgumentThatIsNoIdIsRefusedAfterAPause) {
  for (const std::string arg : {"abc", "12a", "99999999999", "", "1.5"}) {
    const testing::RunResult r = run({arg});
    EXPECT_EQ(r.out, "Id úlohy nemá správný formát." + arg + "\n") << arg;
    EXPECT_EQ(r.exitCode, 0) << arg;
    EXPECT_GE(r.elapsed.count(), 1900) << arg;
    EXPECT_EQ(runLog(), "") << arg;
  }
}

TEST_F(Uloha, WithoutArgumentOrHandOffFile) {
  const testing::RunResult r = run({});
  EXPECT_EQ(r.out, "Nebyl zadán parametr označující ID úlohy pro zpracování.\n");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_GE(r.elapsed.count(), 1900);
  const std::string log = runLog();
  EXPECT_NE(log.find(": ID ulohy: 0: Cannot open file \"" + folder_ + "paramsc\": No such file or directory\r\n"),
            std::string::npos)
      << log;
}

TEST_F(Uloha, HandOffFileWithoutAnId) {
  for (const std::string content : {"", "0", "garbage", "\xEF\xBB\xBF" "abc"}) {
    write("paramsc", content);
    const testing::RunResult r = run({});
    EXPECT_EQ(r.out, "Nebyl zadán parametr označující ID úlohy pro zpracování.\n") << content;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(runLog(), "") << content;
  }
}

TEST_F(Uloha, ClosedDatabasePortEndsTheRunWithItsReports) {
  pointAtClosedPort();
  const testing::RunResult r = run({"5"});
  EXPECT_EQ(r.out.rfind("DatabaseError: ", 0), 0u) << r.out;
  EXPECT_EQ(r.exitCode, 0);
  const std::string log = runLog();
  EXPECT_NE(log.find(": ID ulohy: 5: Chyba spojení na databázi, nelze se připojit k sql serveru, úlohu nelze provést.\r\n"),
            std::string::npos)
      << log;
}

TEST_F(Uloha, TakesTheIdFromTheFirstArgumentElseTheHandOffFile) {
  pointAtClosedPort();
  write("paramsc", "12");
  run({"15", "x"});
  run({});
  write("paramsc", "\xEF\xBB\xBF" "21\r\n");
  run({});
  const std::string log = runLog();
  const auto at15 = log.find(": ID ulohy: 15: ");
  const auto at12 = log.find(": ID ulohy: 12: ");
  const auto at21 = log.find(": ID ulohy: 21: ");
  ASSERT_NE(at15, std::string::npos) << log;
  ASSERT_NE(at12, std::string::npos) << log;
  ASSERT_NE(at21, std::string::npos) << log;
  EXPECT_LT(at15, at12);
  EXPECT_LT(at12, at21);
  EXPECT_EQ(platform::readWholeFile(folder_ + "paramsc"), "\xEF\xBB\xBF" "21\r\n") << "the runner leaves the file alone";
}

TEST_F(Uloha, SettingsFileThatCannotBeReadEndsWithExitCodeOne) {
  fs::create_directory(folder_ + "dorvik");
  const testing::RunResult r = run({"5"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "FileError: Cannot read file \"" + folder_ + "dorvik\": Is a directory\r\n");
}

TEST_F(Uloha, PortThatIsNoNumberEndsWithExitCodeOne) {
  Nastaveni n;
  n.serverportle = "127.0.0.1,14x";
  setup_.writeSettings(n);
  const testing::RunResult r = run({"5"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "ConversionError: '14x' is not a valid integer value\r\n");
  EXPECT_EQ(runLog(), "");
}

}  // namespace
}  // namespace dorvik
