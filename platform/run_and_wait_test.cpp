// runAndWait() with real programs: it waits for them, splits the command line as Windows does and names what it cannot start.
#include "platform/run_and_wait.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os_error.h"
#include "tests/common/temp_folder.h"

namespace dorvik::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

void writeScript(const fs::path& path, const std::string& body) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\n" << body;
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

std::vector<std::string> lines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

class RunAndWaitTest : public ::testing::Test {
 protected:
  dorvik::testing::TempFolder temp_;
  fs::path folder_{temp_.path()};
};

TEST_F(RunAndWaitTest, WaitsUntilTheProgramEndsAndCallsWhileWaitingMeanwhile) {
  // The script ends only after whileWaiting has been called: it waits for the file that whileWaiting creates.
  const fs::path script = folder_ / "waits.sh";
  writeScript(script, "while [ ! -e \"$1\" ]; do sleep 0.01; done\necho done > \"$2\"\n");
  const fs::path go = folder_ / "go";
  const fs::path out = folder_ / "out";
  int calls = 0;
  runAndWait(script.string() + " " + go.string() + " " + out.string(), [&] {
    if (calls++ == 0) std::ofstream(go) << "go\n";
  });
  EXPECT_GE(calls, 1);
  EXPECT_THAT(lines(out), ElementsAreArray({"done"})) << "runAndWait returned before the program had ended";
}

TEST_F(RunAndWaitTest, SplitsTheCommandLineAsWindowsDoes) {
  const fs::path script = folder_ / "dir with blanks" / "write args.sh";
  writeScript(script, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
  const fs::path args = script.parent_path() / "args.txt";
  const std::string program = "\"" + script.string() + "\"";
  struct Case {
    std::string arguments;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {" a  b\tc ", {"a", "b", "c"}},
      {"\"b c\" d", {"b c", "d"}},
      {"x\\\"y", {"x\"y"}},                  // an escaped quote
      {"\"in \"\"quotes\"\"\"", {"in \"quotes\""}},  // a doubled quote inside quotes
      {"a\\\\b C:\\dir\\", {"a\\\\b", "C:\\dir\\"}},   // backslashes not before a quote stay
      {"\"a\\\\\" b", {"a\\", "b"}},         // two backslashes before a quote give one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    fs::remove(args);
    // Leading and trailing characters up to code 32 are trimmed first.
    runAndWait(" \t\r\n" + program + " " + c.arguments + "\r\n", nullptr);
    EXPECT_THAT(lines(args), ElementsAreArray(c.expected));
  }
}

TEST_F(RunAndWaitTest, FindsABareProgramNameOnTheSearchPath) {
  const fs::path out = folder_ / "out";
  runAndWait("sh -c \"echo found > '" + out.string() + "'\"", nullptr);
  EXPECT_THAT(lines(out), ElementsAreArray({"found"}));
}

TEST_F(RunAndWaitTest, AProgramThatCannotBeStartedThrowsWithItsNameAndTheReason) {
  const fs::path notExecutable = folder_ / "plain.txt";
  std::ofstream(notExecutable) << "not a program\n";
  const fs::path blanks = folder_ / "with blanks.sh";
  writeScript(blanks, "exit 0\n");
  struct Case {
    std::string commandLine;
    std::string program;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {(folder_ / "missing.exe").string() + " /install", (folder_ / "missing.exe").string(), "No such file or directory"},
      {notExecutable.string(), notExecutable.string(), "Permission denied"},
      // Unquoted, the program ends at the first blank, as on Windows.
      {blanks.string(), (folder_ / "with").string(), "No such file or directory"},
      {"no-such-program-anywhere", "no-such-program-anywhere", "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    try {
      runAndWait(c.commandLine, nullptr);
      ADD_FAILURE() << "no error";
    } catch (const OsError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot run " + c.program + ": " + c.reason);
      EXPECT_NE(e.code(), 0u);
    }
  }
}

}  // namespace
}  // namespace dorvik::platform
