// The poll timer and the minutes a poll handles.
#include "service/rozvrh.h"

#include <gtest/gtest.h>

namespace dorvik {
namespace {

using namespace std::chrono_literals;
using Clock = PollTimer::Clock;

TEST(PollTimer, TicksAtItsIntervalFromArming) {
  const Clock::time_point t0{};
  PollTimer timer;
  timer.setInterval(60s, t0);
  EXPECT_EQ(timer.timeUntilDue(t0), 60s) << "the first poll comes one interval after arming";
  EXPECT_EQ(timer.timeUntilDue(t0 + 59s), 1s);
  EXPECT_EQ(timer.timeUntilDue(t0 + 61s), 0s);
  timer.takeTick(t0 + 60s);
  timer.pollEnded(t0 + 62s);
  EXPECT_EQ(timer.timeUntilDue(t0 + 62s), 58s) << "not aligned to the poll's end but to the arming";
  timer.setInterval(60s, t0 + 70s);
  EXPECT_EQ(timer.timeUntilDue(t0 + 70s), 50s) << "the same interval again changes nothing";
  timer.setInterval(30s, t0 + 70s);
  EXPECT_EQ(timer.timeUntilDue(t0 + 70s), 30s) << "another interval restarts the count";
}

TEST(PollTimer, TicksDuringALongPollMergeIntoOne) {
  const Clock::time_point t0{};
  PollTimer timer;
  timer.setInterval(10s, t0);
  timer.takeTick(t0 + 10s);
  timer.pollEnded(t0 + 45s);  // ticks at 20, 30 and 40 fell due meanwhile
  EXPECT_EQ(timer.timeUntilDue(t0 + 45s), 0s) << "one pending tick, at once";
  timer.takeTick(t0 + 45s);
  timer.pollEnded(t0 + 46s);
  EXPECT_EQ(timer.timeUntilDue(t0 + 46s), 4s) << "then the period of the arming again, no second catch-up tick";
}

DateTime at(int y, int mo, int d, int h, int mi, int s = 0) { return DateTime{y, mo, d, h, mi, s, 0}; }

TEST(Minuty, WhichMinutesAPollHandles) {
  struct Case {
    const char* name;
    std::optional<DateTime> posledni;
    DateTime ted;
    std::vector<DateTime> expected;
  };
  const Case cases[] = {
      {"first poll: the current minute", std::nullopt, at(2026, 12, 11, 8, 15, 42), {at(2026, 12, 11, 8, 15)}},
      {"the next minute", at(2026, 12, 11, 8, 15), at(2026, 12, 11, 8, 16, 1), {at(2026, 12, 11, 8, 16)}},
      {"same minute again (interval below 60 s)", at(2026, 12, 11, 8, 15), at(2026, 12, 11, 8, 15, 40), {}},
      {"missed minutes are caught up, oldest first", at(2026, 12, 11, 8, 15), at(2026, 12, 11, 8, 18, 5),
       {at(2026, 12, 11, 8, 16), at(2026, 12, 11, 8, 17), at(2026, 12, 11, 8, 18)}},
      {"across midnight and the year", at(2026, 12, 31, 23, 59), at(2027, 1, 1, 0, 1, 0),
       {at(2027, 1, 1, 0, 0), at(2027, 1, 1, 0, 1)}},
      {"leap day", at(2028, 2, 28, 23, 59), at(2028, 2, 29, 0, 0, 30), {at(2028, 2, 29, 0, 0)}},
      {"clock set back a little: wait for it", at(2026, 12, 11, 8, 15), at(2026, 12, 11, 8, 10), {}},
      {"clock set back by hours: start afresh", at(2026, 12, 11, 18, 15), at(2026, 12, 11, 8, 10, 3),
       {at(2026, 12, 11, 8, 10)}},
  };
  for (const Case& c : cases) {
    const DateTime* posledni = c.posledni ? &*c.posledni : nullptr;
    EXPECT_EQ(minutyKeZpracovani(posledni, c.ted), c.expected) << c.name;
  }
}

TEST(Minuty, ALongGapCatchesUpTheLastHourOnly) {
  const DateTime posledni = at(2026, 12, 11, 6, 0);
  const auto minutes = minutyKeZpracovani(&posledni, at(2026, 12, 11, 9, 30, 10));
  ASSERT_EQ(minutes.size(), 60u) << "each minute of the hour once, so each task at most once";
  EXPECT_EQ(minutes.front(), at(2026, 12, 11, 8, 31));
  EXPECT_EQ(minutes.back(), at(2026, 12, 11, 9, 30));
}

}  // namespace
}  // namespace dorvik
