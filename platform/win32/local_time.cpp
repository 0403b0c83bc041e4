// Win32 face of the local clock and the regional date-time format (GetDateFormatEx, GetTimeFormatEx).
#include "platform/local_time.h"

#include <windows.h>

#include "platform/text_codec.h"

namespace dorvik::platform {
namespace {

SYSTEMTIME toSystemTime(const DateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  st.wMilliseconds = static_cast<WORD>(t.millisecond);
  return st;
}

std::string fromWide(const wchar_t* text) {
  const std::wstring w(text);
  return utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

}  // namespace

DateTime localNow() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::string formatShortDate(const DateTime& t) {
  const SYSTEMTIME st = toSystemTime(t);
  wchar_t buffer[128] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128, nullptr);
  return fromWide(buffer);
}

std::string formatLongTime(const DateTime& t) {
  const SYSTEMTIME st = toSystemTime(t);
  wchar_t buffer[128] = {};
  GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
  return fromWide(buffer);
}

char decimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 0 && buffer[0] < 128) {
    return static_cast<char>(buffer[0]);
  }
  return ',';
}

}  // namespace dorvik::platform
