// The service log dvsc.log: one line per launch or failure.
#pragma once
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace dorvik {

inline constexpr std::string_view kServiceLogFileName = "dvsc.log";

// "<date-time>: <server name>: <message>" followed by CR LF.
std::string radeklogusluzby(const DateTime& kdy, std::string_view server, std::string_view zprava);

}  // namespace dorvik
