// Win32 face of the shared-file helpers: FILE_APPEND_DATA writes under LockFileEx.
#include "platform/file_append.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/text_codec.h"

namespace dorvik::platform {
namespace {

std::wstring wide(const std::string& path) {
  const std::u16string w = utf8ToUtf16(path);
  return std::wstring(w.begin(), w.end());
}

[[noreturn]] void fail(const char* what, const std::string& path) {
  throw FileError(std::string(what) + " \"" + path + "\": error " + std::to_string(GetLastError()));
}

// Owns a file handle.
struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

}  // namespace

void appendToFile(const std::string& path, std::string_view bytes) {
  Handle f{CreateFileW(wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) fail("Cannot open file", path);
  OVERLAPPED whole{};
  if (!LockFileEx(f.h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) fail("Cannot lock file", path);
  DWORD written = 0;
  const BOOL ok = WriteFile(f.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  UnlockFileEx(f.h, 0, MAXDWORD, MAXDWORD, &whole);
  if (!ok || written != bytes.size()) fail("Cannot write file", path);
}

std::string readWholeFile(const std::string& path) {
  Handle f{CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) fail("Cannot open file", path);
  std::string out;
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(f.h, buffer, sizeof buffer, &n, nullptr)) fail("Cannot read file", path);
    if (n == 0) break;
    out.append(buffer, n);
  }
  return out;
}

bool fileExists(const std::string& path) { return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace dorvik::platform
