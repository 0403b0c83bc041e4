// The run log: line layout, creation without byte-order mark, and appends from many processes.
#include "runner/zapislog.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "platform/file_append.h"
#include "tests/common/temp_folder.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

TEST(Zapislog, LineLayout) {
  std::setlocale(LC_TIME, "C");
  EXPECT_EQ(radeklogu(DateTime{2026, 12, 11, 8, 10, 0, 5}, 12, "Chyba"), "11.12.2026 8:10:00: ID ulohy: 12: Chyba\r\n");
  EXPECT_EQ(radeklogu(DateTime{2026, 12, 11, 0, 0, 0, 0}, 0, "a\r\nb"), "11.12.2026: ID ulohy: 0: a\r\nb\r\n")
      << "the message is written unchanged, line breaks included";
}

class RunLog : public ::testing::Test {
 protected:
  testing::TempFolder temp_;
  const std::string folder_ = temp_.path();
};

TEST_F(RunLog, CreatesWithoutBomThenAppends) {
  zapislog(folder_, 3, "první");
  zapislog(folder_, 4, "druhá");
  const std::string text = platform::readWholeFile(folder_ + "dvlog.txt");
  EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
  const auto first = text.find(": ID ulohy: 3: první\r\n");
  const auto second = text.find(": ID ulohy: 4: druhá\r\n");
  ASSERT_NE(first, std::string::npos) << text;
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_LT(first, second);
}

TEST_F(RunLog, ConcurrentRunnersLoseNoLine) {
  constexpr int kRunners = 6, kLines = 200;
  for (int r = 0; r < kRunners; ++r) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0; i < kLines; ++i) zapislog(folder_, r + 1, "zpráva " + std::to_string(i));
      ::_exit(0);
    }
  }
  for (int r = 0; r < kRunners; ++r) {
    int status = 0;
    ::wait(&status);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a runner failed to append";
  }
  const std::string text = platform::readWholeFile(folder_ + "dvlog.txt");
  for (int r = 1; r <= kRunners; ++r) {
    for (int i = 0; i < kLines; ++i) {
      const std::string line = ": ID ulohy: " + std::to_string(r) + ": zpráva " + std::to_string(i) + "\r\n";
      ASSERT_NE(text.find(line), std::string::npos) << "missing " << line;
    }
  }
}

}  // namespace
}  // namespace dorvik
