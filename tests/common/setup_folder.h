// A staged setup folder for end-to-end tests: copies of the programs, a settings file, their logs, and runs.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "core/nastaveni.h"
#include "tests/common/temp_folder.h"

namespace dorvik::testing {

struct RunResult {
  int exitCode = -1;  // -1 when killed by a signal or not started
  std::string out, err;
  std::chrono::milliseconds elapsed{};
};

// A program started in the background; stopped with SIGTERM (then waited for) when it goes out of scope.
class BackgroundProcess {
 public:
  BackgroundProcess(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath);
  ~BackgroundProcess() { stop(); }
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;
  // Sends SIGTERM and waits; returns the exit code (-1 when it did not exit normally).
  int stop();

 private:
  int pid_ = -1;
  int exitCode_ = -1;
};

// Waits until `condition` holds, checking every 50 ms; false when `limit` passes first.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

class SetupFolder {
 public:
  SetupFolder();

  // The folder, with a trailing "/".
  const std::string& path() const { return folder_.path(); }
  std::string operator/(const std::string& name) const { return folder_ / name; }

  // Copies a built program (from the build's staged setup folder) to the same place here: "uloha", "dvsc/dvsc".
  void addProgram(const std::string& relativePath) const;
  void writeSettings(const Nastaveni& values) const;
  void writeFile(const std::string& relativePath, const std::string& bytes) const;
  // The file's content, or empty text when it does not exist.
  std::string readFile(const std::string& relativePath) const;
  std::string runLog() const { return readFile("dvlog.txt"); }

  // Runs a program of this folder to its end, in the pinned C.UTF-8 locale, with no standard input.
  RunResult run(const std::string& relativePath, const std::vector<std::string>& args) const;
  // Starts a program of this folder in the background, its output going to `outputFile` here.
  std::unique_ptr<BackgroundProcess> start(const std::string& relativePath, const std::vector<std::string>& args,
                                           const std::string& outputFile) const;

 private:
  TempFolder folder_;
};

}  // namespace dorvik::testing
