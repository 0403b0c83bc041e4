// Win32 face of the text conversions, on top of MultiByteToWideChar and WideCharToMultiByte.
#include "platform/text_codec.h"

#include <windows.h>

namespace dorvik::platform {
namespace {

std::u16string toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return std::u16string(wide.begin(), wide.end());
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) { return toWide(CP_UTF8, utf8); }

std::string utf16ToUtf8(std::u16string_view utf16) {
  if (utf16.empty()) return {};
  const std::wstring wide(utf16.begin(), utf16.end());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string ansiToUtf8(std::string_view ansi) { return utf16ToUtf8(toWide(CP_ACP, ansi)); }

}  // namespace dorvik::platform
