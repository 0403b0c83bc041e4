// Which installed ODBC driver the connections to SQL Server name.
#pragma once
#include <string>
#include <vector>

namespace dorvik::platform {

// The name to put in a connection string's DRIVER keyword. On POSIX always
// "FreeTDS", the name install-deps registers with unixODBC; on Windows the
// best SQL Server driver that the ODBC driver manager lists. Throws Error
// when no SQL Server driver is installed.
std::string sqlServerOdbcDriver();

// The preferred SQL Server driver among `installed`: Microsoft's, newest
// first, then FreeTDS; empty when none of them is there.
std::string chooseSqlServerOdbcDriver(const std::vector<std::string>& installed);

}  // namespace dorvik::platform
