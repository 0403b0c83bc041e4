// Shared-file helpers: whole appends and atomic replacement.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/file_append.h"
#include "tests/common/temp_folder.h"

namespace dorvik::platform {
namespace {

namespace fs = std::filesystem;

class FileFixture : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return folder_ + "/" + name; }
  testing::TempFolder temp_;
  const std::string folder_ = temp_.path().substr(0, temp_.path().size() - 1);
};

using AtomicFile = FileFixture;

TEST_F(AtomicFile, ReplacesContentOwnerOnlyAndLeavesNoTemporaryFile) {
  const std::string target = path("dorvik");
  replaceFileAtomically(target, "old", true);
  replaceFileAtomically(target, "new content", true);
  EXPECT_EQ(readWholeFile(target), "new content");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(AtomicFile, FailureKeepsTheOldFile) {
  const std::string target = path("dorvik");
  replaceFileAtomically(target, "old", true);
  // A folder in the way of the rename makes the replacement fail after the temporary file was written.
  const std::string blocked = path("blocked");
  fs::create_directory(blocked);
  fs::create_directory(blocked + "/child");
  EXPECT_THROW(replaceFileAtomically(blocked, "x", true), FileError);
  EXPECT_THROW(replaceFileAtomically(path("missing/dorvik"), "x", true), FileError);
  EXPECT_EQ(readWholeFile(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

using AppendFile = FileFixture;

TEST_F(AppendFile, ConcurrentProcessesAppendWholeLines) {
  const std::string target = path("log.txt");
  constexpr int kProcesses = 8, kLines = 300;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // A long line makes torn writes likely if appends were not exclusive.
      const std::string line = std::string(5000, static_cast<char>('a' + p)) + "\r\n";
      for (int i = 0; i < kLines; ++i) appendToFile(target, line);
      ::_exit(0);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    ::wait(&status);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::string text = readWholeFile(target);
  ASSERT_EQ(text.size(), static_cast<size_t>(kProcesses * kLines * 5002));
  for (size_t at = 0; at < text.size(); at += 5002) {
    ASSERT_EQ(text.find_first_not_of(text[at], at), at + 5000) << "torn line at byte " << at;
    ASSERT_EQ(text.substr(at + 5000, 2), "\r\n");
  }
}

TEST_F(AppendFile, ErrorsNameTheFile) {
  try {
    appendToFile(path("no/such/folder.txt"), "x");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("no/such/folder.txt"), std::string::npos) << e.what();
  }
  EXPECT_THROW(readWholeFile(path("missing")), FileError);
}

}  // namespace
}  // namespace dorvik::platform
