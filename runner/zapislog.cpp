// zapislog and the run-log line layout.
#include "runner/zapislog.h"

#include "core/datetime_text.h"
#include "platform/file_append.h"

namespace dorvik {

std::string radeklogu(const DateTime& kdy, std::int32_t idulohy, std::string_view zprava) {
  return datumcas(kdy) + ": ID ulohy: " + std::to_string(idulohy) + ": " + std::string(zprava) + "\r\n";
}

void zapislog(const std::string& slozka, std::int32_t idulohy, std::string_view zprava) {
  platform::appendToFile(slozka + std::string(kRunLogFileName), radeklogu(platform::localNow(), idulohy, zprava));
}

}  // namespace dorvik
