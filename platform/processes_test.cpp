// runningProcesses and terminateProcess against this test and child processes it starts.
#include "platform/processes.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/common/temp_folder.h"

extern char** environ;

namespace dorvik::platform {
namespace {

namespace fs = std::filesystem;

bool listed(std::int64_t pid, const std::string& name) {
  const std::vector<RunningProcess> all = runningProcesses();
  return std::any_of(all.begin(), all.end(),
                     [&](const RunningProcess& p) { return p.pid == pid && p.executableName == name; });
}

// A copy of sleep(1) under another name, running until it is ended; killed and reaped at the end.
class Child {
 public:
  explicit Child(const std::string& path) {
    fs::copy_file("/bin/sleep", path);
    std::string program = path, seconds = "600";
    char* argv[] = {program.data(), seconds.data(), nullptr};
    if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv, environ) != 0) pid_ = -1;
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      wait();
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  // Reaps the child; its wait status.
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
};

TEST(RunningProcesses, ListThisTestUnderItsExecutableName) {
  EXPECT_TRUE(listed(::getpid(), "platform_update_tests"));
}

TEST(RunningProcesses, ListAStartedChildAlsoAfterItsProgramFileWasReplaced) {
  testing::TempFolder temp;
  Child child(temp / "uloha");
  ASSERT_GT(child.pid(), 0);
  EXPECT_TRUE(listed(child.pid(), "uloha"));
  // An update replaces the file while the old program runs: it still counts as "uloha".
  fs::remove(temp / "uloha");
  EXPECT_TRUE(listed(child.pid(), "uloha"));
}

TEST(TerminateProcess, EndsAChild) {
  testing::TempFolder temp;
  Child child(temp / "dorvik-setup");
  ASSERT_GT(child.pid(), 0);
  EXPECT_TRUE(terminateProcess(child.pid()));
  const int status = child.wait();
  EXPECT_TRUE(WIFSIGNALED(status));
}

TEST(TerminateProcess, RefusesIdsThatNameNoSingleProcess) {
  // 0 and -1 would reach whole process groups or every process.
  for (const std::int64_t pid : {std::int64_t{0}, std::int64_t{-1}, std::int64_t{-12345}, std::int64_t{1} << 40}) {
    SCOPED_TRACE(pid);
    EXPECT_FALSE(terminateProcess(pid));
  }
}

}  // namespace
}  // namespace dorvik::platform
