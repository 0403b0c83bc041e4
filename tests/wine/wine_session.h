// A Wine prefix and wineserver for the length of one test, shared by the Wine tests.
#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace dorvik::wine {

// A text quoted for the POSIX shell.
std::string quoted(const std::string& s);

struct Outcome {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// Waits up to `limit` for the condition; true when it came.
bool eventually(const std::function<bool()>& condition, std::chrono::seconds limit);

// Why a Wine test cannot run here (no Wine, no cross-built program), or "" when it can.
std::string whyWineCannotRun(const std::filesystem::path& program);

// One Wine prefix for the test build, kept between runs (booting a new one
// costs seconds and hundreds of megabytes), and a persistent wineserver for
// the length of the test: without it Wine's services end a few seconds after
// the last ordinary Wine program. Test programs that use the same prefix run
// one after another.
class WineSession {
 public:
  explicit WineSession(std::filesystem::path prefix);
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // The prefix may be reused only when the test removed what it registered.
  void markClean() { cleanEnd_ = true; }

  // Runs a shell command line with the prefix's environment; output through a
  // file, since Wine's background processes would keep a pipe open.
  Outcome run(const std::string& commandLine) const;

  Outcome wine(const std::string& arguments) const { return run("wine " + arguments); }

  // The service's state as "sc query" reports it ("RUNNING", "STOPPED"), or "" when it is not there.
  std::string serviceState(const std::string& name) const;

 private:
  std::filesystem::path prefix_;
  std::filesystem::path inUse_;
  bool cleanEnd_ = false;
  int lock_ = -1;
};

}  // namespace dorvik::wine
