// The run log dvlog.txt: one line per failure, appended whole even with several runners at once.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace dorvik {

inline constexpr std::string_view kRunLogFileName = "dvlog.txt";

// "<date-time>: ID ulohy: <id>: <message>" followed by CR LF.
std::string radeklogu(const DateTime& kdy, std::int32_t idulohy, std::string_view zprava);

// Appends one line to dvlog.txt in `slozka` (with trailing separator), creating
// the file without byte-order mark. Throws FileError when it cannot.
void zapislog(const std::string& slozka, std::int32_t idulohy, std::string_view zprava);

}  // namespace dorvik
