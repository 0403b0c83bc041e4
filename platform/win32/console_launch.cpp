// Win32 face of runInConsoleSession(): the console user's token, CreateProcessAsUserW with a new console, and a wait.
#include "platform/console_launch.h"

#include <windows.h>
#include <wtsapi32.h>

#include "platform/win32/win32_util.h"

namespace dorvik::platform {

LaunchOutcome runInConsoleSession(const std::string& path) {
  // The service's own startup information, passed on unchanged.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);

  const DWORD session = WTSGetActiveConsoleSessionId();
  if (session == 0xFFFFFFFF) return {false, "no session is attached to the console"};
  HANDLE rawToken = nullptr;
  if (!WTSQueryUserToken(session, &rawToken)) {
    return {false, "no user is logged on at the console: WTSQueryUserToken: " + systemErrorText(GetLastError())};
  }
  const KernelHandle token{rawToken};

  const std::wstring application = toWide(path);
  PROCESS_INFORMATION process{};
  if (!CreateProcessAsUserW(token.get(), application.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                            nullptr, nullptr, &startup, &process)) {
    return {false, "CreateProcessAsUserW: " + systemErrorText(GetLastError())};
  }
  const KernelHandle processHandle{process.hProcess};
  const KernelHandle threadHandle{process.hThread};
  WaitForSingleObject(processHandle.get(), INFINITE);
  return {true, {}};
}

}  // namespace dorvik::platform
