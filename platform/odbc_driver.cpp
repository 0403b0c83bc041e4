// chooseSqlServerOdbcDriver(): the order of preference among SQL Server ODBC drivers, shared by both faces.
#include "platform/odbc_driver.h"

#include <algorithm>
#include <array>

namespace dorvik::platform {

std::string chooseSqlServerOdbcDriver(const std::vector<std::string>& installed) {
  // Microsoft's own drivers speak the newest protocol and handle encryption
  // fully; FreeTDS is what Linux (and Wine on Linux) offers.
  static constexpr std::array<const char*, 5> kPreferred = {
      "ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "SQL Server Native Client 11.0", "SQL Server",
      "FreeTDS"};
  for (const char* name : kPreferred) {
    if (std::find(installed.begin(), installed.end(), name) != installed.end()) return name;
  }
  return {};
}

}  // namespace dorvik::platform
