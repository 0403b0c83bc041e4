// Win32 face of runAndWait(): CreateProcessW without a window and a wait in 10 ms steps.
#include "platform/run_and_wait.h"

#include <windows.h>

#include <vector>

#include "platform/os_error.h"
#include "platform/win32/win32_util.h"

namespace dorvik::platform {

void runAndWait(const std::string& commandLine, const std::function<void()>& whileWaiting) {
  const std::string trimmed = trimmedCommandLine(commandLine);
  const std::wstring wide = toWide(trimmed);
  // CreateProcessW may write into the command line.
  std::vector<wchar_t> line(wide.begin(), wide.end());
  line.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    const DWORD code = GetLastError();
    throw OsError(code, "Cannot run " + trimmed + ": " + systemMessage(code));
  }
  const KernelHandle processHandle{process.hProcess};
  const KernelHandle threadHandle{process.hThread};
  while (WaitForSingleObject(processHandle.get(), 10) == WAIT_TIMEOUT) {
    if (whileWaiting) whileWaiting();
  }
}

}  // namespace dorvik::platform
