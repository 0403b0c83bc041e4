// Win32 face of replaceFileAtomically(): a flushed temporary file moved over the old one.
#include "platform/atomic_file.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/text_codec.h"

namespace dorvik::platform {

void replaceFileAtomically(const std::string& path, std::string_view bytes, bool /*ownerOnly: NTFS ACLs of the folder apply*/) {
  const std::u16string p16 = utf8ToUtf16(path);
  const std::wstring target(p16.begin(), p16.end());
  const std::wstring temp = target + L".tmp";
  auto fail = [&](const char* what) {
    throw FileError(std::string(what) + " \"" + path + "\": error " + std::to_string(GetLastError()));
  };
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("Cannot create file");
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size() && FlushFileBuffers(h);
  CloseHandle(h);
  if (!ok) {
    DeleteFileW(temp.c_str());
    fail("Cannot write file");
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    fail("Cannot replace file");
  }
}

}  // namespace dorvik::platform
