// PollTimer and the minute arithmetic of the poll.
#include "service/rozvrh.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace dorvik {

void PollTimer::setInterval(std::chrono::milliseconds interval, Clock::time_point now) {
  if (interval == interval_) return;
  interval_ = interval;
  next_ = now + interval;
  pending_ = false;
}

std::chrono::milliseconds PollTimer::timeUntilDue(Clock::time_point now) const {
  if (pending_ || next_ <= now) return std::chrono::milliseconds(0);
  return std::chrono::ceil<std::chrono::milliseconds>(next_ - now);
}

void PollTimer::advancePast(Clock::time_point now) {
  if (interval_ <= std::chrono::milliseconds(0)) return;
  if (next_ <= now) next_ += ((now - next_) / interval_ + 1) * interval_;
}

void PollTimer::takeTick(Clock::time_point now) {
  pending_ = false;
  advancePast(now);
}

void PollTimer::pollEnded(Clock::time_point now) {
  pending_ = next_ <= now;
  advancePast(now);
}

DateTime naMinutu(const DateTime& t) {
  DateTime m = t;
  m.second = 0;
  m.millisecond = 0;
  return m;
}

namespace {

// Minutes since 1970-01-01 00:00 of the calendar, and back.
std::int64_t minuteNumber(const DateTime& t) {
  using namespace std::chrono;
  const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                      std::chrono::day{static_cast<unsigned>(t.day)}};
  return day.time_since_epoch().count() * 1440LL + t.hour * 60 + t.minute;
}

DateTime fromMinuteNumber(std::int64_t number) {
  using namespace std::chrono;
  const auto dayNumber = number >= 0 ? number / 1440 : (number - 1439) / 1440;
  const year_month_day ymd{sys_days{days{dayNumber}}};
  const auto inDay = static_cast<int>(number - dayNumber * 1440);
  return DateTime{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                  static_cast<int>(static_cast<unsigned>(ymd.day())), inDay / 60, inDay % 60, 0, 0};
}

}  // namespace

DateTime dalsiMinuta(const DateTime& t) { return fromMinuteNumber(minuteNumber(t) + 1); }

std::vector<DateTime> minutyKeZpracovani(const DateTime* posledni, const DateTime& ted) {
  const std::int64_t current = minuteNumber(ted);
  // A first poll, or a server clock set back by more than a daylight-saving shift: start afresh.
  constexpr std::int64_t kClockSetBack = 120;
  if (posledni == nullptr || minuteNumber(*posledni) - current > kClockSetBack) return {naMinutu(ted)};
  // At most the last hour: older minutes would launch the same tasks again.
  constexpr std::int64_t kMostMinutes = 60;
  const std::int64_t first = std::max(minuteNumber(*posledni) + 1, current - kMostMinutes + 1);
  std::vector<DateTime> minutes;
  for (std::int64_t m = first; m <= current; ++m) minutes.push_back(fromMinuteNumber(m));
  return minutes;
}

}  // namespace dorvik
