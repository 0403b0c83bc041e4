// Running a command line and waiting for it while the caller keeps its window alive.
#pragma once
#include <functional>
#include <string>

namespace dorvik::platform {

// Runs a command line without a window and waits until it ends; `whileWaiting`
// is called about every 10 ms meanwhile (the setup tool processes window
// messages there). Leading and trailing characters with codes <= 32 are
// trimmed. The first word is the program, as Windows takes it: double quotes
// group, so a path with blanks must be quoted. A command that cannot be
// started throws OsError naming the program and the reason. The exit code is
// not reported. An exception from `whileWaiting` ends the wait, not the program.
void runAndWait(const std::string& commandLine, const std::function<void()>& whileWaiting);

// The command line without leading and trailing characters with codes <= 32, as both faces take it.
inline std::string trimmedCommandLine(const std::string& commandLine) {
  std::size_t first = 0;
  std::size_t end = commandLine.size();
  while (first < end && static_cast<unsigned char>(commandLine[first]) <= 32) ++first;
  while (end > first && static_cast<unsigned char>(commandLine[end - 1]) <= 32) --end;
  return commandLine.substr(first, end - first);
}

}  // namespace dorvik::platform
