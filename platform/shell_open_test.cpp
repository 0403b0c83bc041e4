// openWithShell: a program is started detached (not our child, in a session of its own); what
// cannot be started is an error that says why.
#include "platform/shell_open.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/error.h"
#include "platform/file_append.h"
#include "tests/common/temp_folder.h"

namespace dorvik::platform {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

// Waits up to `limit` for the file; true when it came.
bool appears(const std::string& path, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!fileExists(path)) {
    if (std::chrono::steady_clock::now() >= until) return false;
    ::usleep(20'000);
  }
  return true;
}

class ShellOpen : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text, mode_t mode) const {
    const std::string path = temp_ / name;
    std::ofstream(path, std::ios::binary) << text;
    ::chmod(path.c_str(), mode);
    return path;
  }
  testing::TempFolder temp_;
};

TEST_F(ShellOpen, StartsAProgramDetachedWithNoArguments) {
  const std::string report = temp_ / "report";
  // The report is written under another name and renamed, so that it appears whole.
  const std::string program = write("dorvika", "#!/bin/sh\n"
      "arguments=$#\n"
      "read -r stat < /proc/$$/stat; set -- $stat; session=$6\n"
      "printf '%s %s %s\\n' \"$PPID\" \"$session\" \"$arguments\" > '" + report + ".part'\n"
      "mv '" + report + ".part' '" + report + "'\n", 0755);
  openWithShell(program);
  ASSERT_TRUE(appears(report, 60s));
  std::istringstream fields(readWholeFile(report));
  long parent = 0, session = 0, arguments = -1;
  fields >> parent >> session >> arguments;
  EXPECT_EQ(arguments, 0);
  EXPECT_NE(parent, ::getpid()) << "the program is the caller's child";
  EXPECT_NE(session, ::getsid(0)) << "the program is in the caller's session";
}

TEST_F(ShellOpen, WhatCannotBeStartedSaysWhy) {
  struct Case {
    const char* what;
    std::string path;
    const char* message;
  };
  const Case cases[] = {
      {"missing file", temp_ / "missing", "No such file or directory"},
      {"executable that is no program", write("garbage", "not a program\n", 0755), "Exec format error"},
      {"no name", "", "without a name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      openWithShell(c.path);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message));
      EXPECT_THAT(e.what(), HasSubstr(c.path));
    }
  }
}

TEST_F(ShellOpen, ADocumentWithoutXdgOpenSaysSo) {
  const std::string document = write("popis.txt", "text\n", 0644);
  const char* saved = std::getenv("PATH");
  const std::string path = saved != nullptr ? saved : "";
  ::setenv("PATH", temp_.path().c_str(), 1);  // a folder without xdg-open
  try {
    openWithShell(document);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("xdg-open is not installed"));
  }
  ::setenv("PATH", path.c_str(), 1);
}

}  // namespace
}  // namespace dorvik::platform
