// Calendar arithmetic, datetime text and the server clock.
#include "sql_datetime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace standin {
namespace {

// Days from 0000-03-01 based civil algorithm, shifted so 1900-01-01 is day 0.
std::int64_t daysFromEpoch1970(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr std::int64_t kDays1900From1970 = -25567;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

struct ClockState {
  std::mutex mutex;
  bool fixed = false;
  double startDays = 0;
  std::chrono::steady_clock::time_point startedAt;
};
ClockState& clockState() {
  static ClockState state;
  return state;
}

bool digits(std::string_view s, std::size_t pos, std::size_t n, int& out) {
  if (pos + n > s.size()) return false;
  out = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

}  // namespace

std::int64_t daysFromCivil(int year, int month, int day) {
  return daysFromEpoch1970(year, month, day) - kDays1900From1970;
}

void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
  const std::int64_t z = days + kDays1900From1970 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

double toDays(const CivilTime& t) {
  const auto ticks = static_cast<std::int64_t>(
      std::llround(((t.hour * 60.0 + t.minute) * 60.0 + t.second + t.millisecond / 1000.0) * 300.0));
  return static_cast<double>(daysFromCivil(t.year, t.month, t.day)) +
         static_cast<double>(ticks) / static_cast<double>(kTicksPerDay);
}

void toDaysAndTicks(double days, std::int32_t& wholeDays, std::uint32_t& ticks) {
  const auto total = static_cast<std::int64_t>(std::llround(days * static_cast<double>(kTicksPerDay)));
  const std::int64_t d = floorDiv(total, kTicksPerDay);
  wholeDays = static_cast<std::int32_t>(d);
  ticks = static_cast<std::uint32_t>(total - d * kTicksPerDay);
}

double fromDaysAndTicks(std::int32_t wholeDays, std::uint32_t ticks) {
  return static_cast<double>(wholeDays) + static_cast<double>(ticks) / static_cast<double>(kTicksPerDay);
}

CivilTime toCivil(double days) {
  std::int32_t d = 0;
  std::uint32_t ticks = 0;
  toDaysAndTicks(days, d, ticks);
  CivilTime t;
  civilFromDays(d, t.year, t.month, t.day);
  const std::uint32_t ms = static_cast<std::uint32_t>((static_cast<std::uint64_t>(ticks) * 10 + 1) / 3);
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

std::optional<double> parseDateTime(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  CivilTime t;
  std::size_t pos = 0;
  if (s.size() >= 8 && s[2] != ':') {
    if (s.size() >= 10 && (s[4] == '-' || s[4] == '/' || s[4] == '.')) {
      if (!digits(s, 0, 4, t.year) || !digits(s, 5, 2, t.month) || s[7] != s[4] || !digits(s, 8, 2, t.day))
        return std::nullopt;
      pos = 10;
    } else {
      if (!digits(s, 0, 4, t.year) || !digits(s, 4, 2, t.month) || !digits(s, 6, 2, t.day)) return std::nullopt;
      pos = 8;
    }
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month) || t.year < 1753)
      return std::nullopt;
    if (pos == s.size()) return toDays(t);
    if (s[pos] != ' ' && s[pos] != 'T') return std::nullopt;
    ++pos;
    while (pos < s.size() && s[pos] == ' ') ++pos;
  }
  if (!digits(s, pos, 2, t.hour) || pos + 2 >= s.size() || s[pos + 2] != ':' || !digits(s, pos + 3, 2, t.minute))
    return std::nullopt;
  pos += 5;
  if (pos < s.size() && s[pos] == ':') {
    if (!digits(s, pos + 1, 2, t.second)) return std::nullopt;
    pos += 3;
    if (pos < s.size() && s[pos] == '.') {
      ++pos;
      int scale = 100;
      while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        t.millisecond += (s[pos] - '0') * scale;
        scale /= 10;
        ++pos;
      }
    }
  }
  if (pos != s.size() || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return toDays(t);
}

std::string formatDateTime(double days) {
  const CivilTime t = toCivil(days);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  return buf;
}

std::string formatDate(double days) { return formatDateTime(days).substr(0, 10); }

void ServerClock::start(std::optional<double> startDays) {
  ClockState& s = clockState();
  std::lock_guard lock(s.mutex);
  s.fixed = startDays.has_value();
  s.startDays = startDays.value_or(0);
  s.startedAt = std::chrono::steady_clock::now();
}

double ServerClock::now() {
  ClockState& s = clockState();
  {
    std::lock_guard lock(s.mutex);
    if (s.fixed) {
      const std::chrono::duration<double> run = std::chrono::steady_clock::now() - s.startedAt;
      return s.startDays + run.count() / 86400.0;
    }
  }
  const auto now = std::chrono::system_clock::now();
  const std::time_t secs = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&secs, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return toDays(CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec, static_cast<int>(ms)});
}

}  // namespace standin
