// POSIX face of the local clock and the regional date-time format (strftime with LC_TIME).
#include "platform/local_time.h"

#include <langinfo.h>
#include <locale.h>
#include <sys/time.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace dorvik::platform {
namespace {

bool localeHasNoRegionalFormat() {
  const char* name = ::setlocale(LC_TIME, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

std::string formatWith(const char* format, const DateTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  // Fill in the weekday for formats that show it.
  std::tm probe = tm;
  if (std::mktime(&probe) != -1) tm.tm_wday = probe.tm_wday, tm.tm_yday = probe.tm_yday;
  char buffer[256];
  const size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

}  // namespace

DateTime localNow() {
  timeval tv{};
  ::gettimeofday(&tv, nullptr);
  std::tm tm{};
  const time_t seconds = tv.tv_sec;
  ::localtime_r(&seconds, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(tv.tv_usec / 1000)};
}

std::string formatShortDate(const DateTime& t) {
  if (localeHasNoRegionalFormat()) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%d.%04d", t.day, t.month, t.year);
    return buffer;
  }
  return formatWith(::nl_langinfo(D_FMT), t);
}

std::string formatLongTime(const DateTime& t) {
  if (localeHasNoRegionalFormat()) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", t.hour, t.minute, t.second);
    return buffer;
  }
  return formatWith(::nl_langinfo(T_FMT), t);
}

char decimalSeparator() {
  const char* name = ::setlocale(LC_NUMERIC, nullptr);
  if (name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
      std::strncmp(name, "C.", 2) == 0) {
    return ',';
  }
  const char* point = ::nl_langinfo(RADIXCHAR);
  return point != nullptr && point[0] != '\0' ? point[0] : ',';
}

}  // namespace dorvik::platform
