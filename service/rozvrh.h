// When the poll timer ticks, and which server minutes a poll handles.
#pragma once
#include <chrono>
#include <vector>

#include "platform/local_time.h"

namespace dorvik {

// The poll timer: ticks at its interval from the moment it was armed. Ticks
// that fall due while a poll runs merge into one, due as soon as the poll ends.
class PollTimer {
 public:
  using Clock = std::chrono::steady_clock;

  // Arms the timer at `now`. Setting the interval it already has changes
  // nothing; another interval restarts the count from `now`.
  void setInterval(std::chrono::milliseconds interval, Clock::time_point now);
  std::chrono::milliseconds interval() const { return interval_; }
  // How long until the next tick is due; zero when it is due already.
  std::chrono::milliseconds timeUntilDue(Clock::time_point now) const;
  // A tick is taken at `now` and its poll starts.
  void takeTick(Clock::time_point now);
  // The poll ended at `now`; ticks that fell due meanwhile become one pending tick.
  void pollEnded(Clock::time_point now);

 private:
  void advancePast(Clock::time_point now);

  std::chrono::milliseconds interval_{0};
  Clock::time_point next_{};
  bool pending_ = false;
};

// A date-time cut to its minute.
DateTime naMinutu(const DateTime& t);
// The minute after `t` (which is cut to a minute), across hours, days, months and years.
DateTime dalsiMinuta(const DateTime& t);

// The server minutes a poll at `ted` handles, oldest first: the current minute
// on the first poll; afterwards every minute since `posledni` (the last one
// handled), at most the last 60 so that no task runs twice for one catch-up;
// none when the current minute was handled already. A clock set back by more
// than two hours starts afresh with the current minute.
std::vector<DateTime> minutyKeZpracovani(const DateTime* posledni, const DateTime& ted);

}  // namespace dorvik
