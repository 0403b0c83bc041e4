// Helpers shared by the Win32 faces: owning handles, UTF-8 to wide text and readable system error texts.
#pragma once
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/text_codec.h"

namespace dorvik::platform {

struct KernelHandleCloser {
  void operator()(HANDLE h) const noexcept {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
// Owns a kernel object handle (event, process, thread, token).
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;
using EventHandle = KernelHandle;

struct ServiceHandleCloser {
  void operator()(SC_HANDLE h) const noexcept { CloseServiceHandle(h); }
};
// Owns a handle of the service control manager or of one service.
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

// A manual-reset event, not signalled; throws std::runtime_error when the system has none left.
inline HANDLE createEvent() {
  const HANDLE h = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (h == nullptr) throw std::runtime_error("Cannot create an event: error " + std::to_string(GetLastError()));
  return h;
}

inline std::wstring toWide(std::string_view utf8) {
  const std::u16string w = utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

inline std::string fromWide(std::wstring_view wide) {
  return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// "<the system's text for the code> (error <code>)".
inline std::string systemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.')) {
    text.pop_back();
  }
  const std::string code_text = "error " + std::to_string(code);
  return text.empty() ? code_text : fromWide(text) + " (" + code_text + ")";
}

}  // namespace dorvik::platform
