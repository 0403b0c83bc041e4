// Win32 face of the OS error helpers: GetLastError and FormatMessageW.
#include "platform/os_error.h"

#include <windows.h>

#include "platform/win32/win32_util.h"

namespace dorvik::platform {

std::string systemMessage(std::uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  // A code the system has no text for still says which code failed.
  return text.empty() ? "System error " + std::to_string(code) + "." : fromWide(text);
}

OsError osError(std::uint32_t code) { return OsError(code, systemMessage(code)); }

OsError lastOsError() { return osError(GetLastError()); }

}  // namespace dorvik::platform
