// Starting the task runner for the user at the console and waiting for it.
#pragma once
#include <string>

namespace dorvik::platform {

struct LaunchOutcome {
  bool started = false;
  std::string reason;  // why it was not started
};

// Starts the program at `path` without arguments and waits, without a time
// limit, until it ends. On Windows it runs as the user logged on at the
// console, in that user's session and a console window of its own; on POSIX
// it is a child process sharing the service's standard output.
LaunchOutcome runInConsoleSession(const std::string& path);

}  // namespace dorvik::platform
