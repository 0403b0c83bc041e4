// Win32 face of the process list: a Toolhelp snapshot; ending is TerminateProcess with exit code 0.
#include "platform/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <limits>

#include "platform/error.h"
#include "platform/win32/win32_util.h"

namespace dorvik::platform {

std::vector<RunningProcess> runningProcesses() {
  const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) {
    throw Error("Cannot list the running processes: " + systemErrorText(GetLastError()));
  }
  std::vector<RunningProcess> result;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  BOOL more = Process32FirstW(snapshot.get(), &entry);
  if (!more && GetLastError() != ERROR_NO_MORE_FILES) {
    throw Error("Cannot list the running processes: " + systemErrorText(GetLastError()));
  }
  for (; more; more = Process32NextW(snapshot.get(), &entry)) {
    result.push_back({static_cast<std::int64_t>(entry.th32ProcessID), fromWide(entry.szExeFile)});
  }
  return result;
}

bool terminateProcess(std::int64_t pid) {
  if (pid <= 0 || pid > std::numeric_limits<DWORD>::max()) return false;
  const KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid)));
  if (!process) return false;
  return TerminateProcess(process.get(), 0) != 0;
}

}  // namespace dorvik::platform
