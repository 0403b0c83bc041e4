// The built runner as a user starts it: arguments, hand-off file, settings and a closed database port.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "platform/file_append.h"

extern char** environ;
#include "tests/common/closed_port.h"
#include "tests/common/temp_folder.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode = -1;
  std::string out, err;
  std::chrono::milliseconds elapsed{};
};

// A setup folder of its own with a copy of the runner, so that its files are found beside it.
class Uloha : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(DORVIK_SETUP_DIR "/uloha", folder_ + "uloha");
  }

  Result run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{folder_ + "uloha"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    for (auto& a : argv) argp.push_back(const_cast<char*>(a.c_str()));
    argp.push_back(nullptr);
    // The regional format is pinned: C.UTF-8 gives the Czech defaults.
    std::vector<std::string> env{"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (folder_ + "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (folder_ + "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Result r;
    if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    r.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    r.out = platform::readWholeFile(folder_ + "out.txt");
    r.err = platform::readWholeFile(folder_ + "err.txt");
    return r;
  }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ + name, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string runLog() const {
    return platform::fileExists(folder_ + "dvlog.txt") ? platform::readWholeFile(folder_ + "dvlog.txt") : "";
  }
  void pointAtClosedPort() const {
    Nastaveni n;
    n.serverportle = "127.0.0.1," + std::to_string(testing::closedPort());
    n.databazecb = "vorlak";
    IniDocument doc;
    zapisnastaveni(doc, n);
    saveSettingsFile(doc, folder_ + "dorvik");
  }

  testing::TempFolder temp_;
  const std::string folder_ = temp_.path();
};

TEST_F(Uloha, ArgumentThatIsNoIdIsRefusedAfterAPause) {
  for (const std::string arg : {"abc", "12a", "99999999999", "", "1.5"}) {
    const Result r = run({arg});
    EXPECT_EQ(r.out, "Id úlohy nemá správný formát." + arg + "\n") << arg;
    EXPECT_EQ(r.exitCode, 0) << arg;
    EXPECT_GE(r.elapsed.count(), 1900) << arg;
    EXPECT_EQ(runLog(), "") << arg;
  }
}

TEST_F(Uloha, WithoutArgumentOrHandOffFile) {
  const Result r = run({});
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
    const Result r = run({});
    EXPECT_EQ(r.out, "Nebyl zadán parametr označující ID úlohy pro zpracování.\n") << content;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(runLog(), "") << content;
  }
}

TEST_F(Uloha, ClosedDatabasePortEndsTheRunWithItsReports) {
  pointAtClosedPort();
  const Result r = run({"5"});
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
  const Result r = run({"5"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "FileError: Cannot read file \"" + folder_ + "dorvik\": Is a directory\r\n");
}

TEST_F(Uloha, PortThatIsNoNumberEndsWithExitCodeOne) {
  Nastaveni n;
  n.serverportle = "127.0.0.1,14x";
  IniDocument doc;
  zapisnastaveni(doc, n);
  saveSettingsFile(doc, folder_ + "dorvik");
  const Result r = run({"5"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "ConversionError: '14x' is not a valid integer value\r\n");
  EXPECT_EQ(runLog(), "");
}

}  // namespace
}  // namespace dorvik
