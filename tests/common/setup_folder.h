// A staged setup folder for end-to-end tests: copies of the programs, a settings file, their logs, and runs.
#pragma once
#include <chrono>
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

 private:
  TempFolder folder_;
};

}  // namespace dorvik::testing
