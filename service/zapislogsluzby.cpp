// The service-log line layout.
#include "service/zapislogsluzby.h"

#include "core/datetime_text.h"

namespace dorvik {

std::string radeklogusluzby(const DateTime& kdy, std::string_view server, std::string_view zprava) {
  return datumcas(kdy) + ": " + std::string(server) + ": " + std::string(zprava) + "\r\n";
}

}  // namespace dorvik
