// runPollingLoop.
#include "service/polling_loop.h"

namespace dorvik {

void runPollingLoop(Tdvservice& sluzba, platform::ServiceControl& control) {
  using Clock = PollTimer::Clock;
  PollTimer& timer = sluzba.Timer1();
  while (!control.waitForStop(timer.timeUntilDue(Clock::now()))) {
    if (timer.timeUntilDue(Clock::now()).count() > 0) continue;
    timer.takeTick(Clock::now());
    sluzba.Timer1Timer();
    timer.pollEnded(Clock::now());
  }
}

}  // namespace dorvik
