// The running processes by executable name, and ending one of them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace dorvik::platform {

struct RunningProcess {
  std::int64_t pid;
  // The executable's file name as the system lists it: "uloha.exe" on Windows, "uloha" here.
  std::string executableName;
};

// Every process the system lists now. Throws dorvik::Error with the system's reason when the list
// cannot be taken.
std::vector<RunningProcess> runningProcesses();

// Ends the process at once (exit code 0 where the system allows a choice). False when it cannot be
// opened or ended, and for ids that name no single process (0 and negative ids).
bool terminateProcess(std::int64_t pid);

}  // namespace dorvik::platform
