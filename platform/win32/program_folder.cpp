// Win32 face of programFolder(): GetModuleFileNameW of the running module.
#include "platform/program_folder.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/text_codec.h"

namespace dorvik::platform {

std::string programFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw std::runtime_error("Cannot determine the program folder: error " + std::to_string(GetLastError()));
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::u16string path(buffer.begin(), buffer.end());
  std::string utf8 = utf16ToUtf8(path);
  return utf8.substr(0, utf8.rfind('\\') + 1);
}

char pathSeparator() { return '\\'; }

}  // namespace dorvik::platform
