// The hand-off file paramsc through which the service passes the task id.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace dorvik {

inline constexpr std::string_view kHandOffFileName = "paramsc";

// The task id in `slozka`/paramsc: the text up to the first line end, as a
// whole number; 0 when it is none. A file that cannot be read logs its error
// to the run log (task id 0) and gives 0. A leading UTF-8 byte-order mark is
// skipped, so a file saved by a text editor still works.
std::int32_t nactiparamsc(const std::string& slozka);

}  // namespace dorvik
