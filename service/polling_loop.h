// The service's main loop: waits for the poll timer and runs the polls until stopped.
#pragma once
#include "platform/service_host.h"
#include "service/dvservice.h"

namespace dorvik {

void runPollingLoop(Tdvservice& sluzba, platform::ServiceControl& control);

}  // namespace dorvik
