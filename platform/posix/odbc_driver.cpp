// POSIX face of sqlServerOdbcDriver(): the FreeTDS driver registered with unixODBC.
#include "platform/odbc_driver.h"

namespace dorvik::platform {

std::string sqlServerOdbcDriver() { return "FreeTDS"; }

}  // namespace dorvik::platform
