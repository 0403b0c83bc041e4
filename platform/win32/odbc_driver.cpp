// Win32 face of sqlServerOdbcDriver(): the drivers the ODBC driver manager lists (SQLDriversW).
#include "platform/odbc_driver.h"

#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include <memory>

#include "platform/error.h"
#include "platform/win32/win32_util.h"

namespace dorvik::platform {
namespace {

struct EnvironmentCloser {
  void operator()(SQLHENV h) const noexcept { SQLFreeHandle(SQL_HANDLE_ENV, h); }
};

std::vector<std::string> installedDrivers() {
  SQLHENV raw = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw))) {
    throw Error("Cannot list the ODBC drivers: the ODBC environment cannot be allocated");
  }
  const std::unique_ptr<void, EnvironmentCloser> env(raw);
  SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);

  // Only the wide-character call: the narrow one is missing from some driver managers (Wine's).
  std::vector<std::string> names;
  SQLWCHAR description[512];
  SQLWCHAR attributes[2048];
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLSMALLINT descriptionLength = 0, attributesLength = 0;
    const SQLRETURN rc = SQLDriversW(env.get(), direction, description, static_cast<SQLSMALLINT>(std::size(description)),
                                     &descriptionLength, attributes, static_cast<SQLSMALLINT>(std::size(attributes)),
                                     &attributesLength);
    if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(rc)) break;
    names.push_back(fromWide(std::wstring_view(description)));
    direction = SQL_FETCH_NEXT;
  }
  return names;
}

}  // namespace

std::string sqlServerOdbcDriver() {
  const std::vector<std::string> installed = installedDrivers();
  std::string driver = chooseSqlServerOdbcDriver(installed);
  if (driver.empty()) {
    std::string listed;
    for (const std::string& name : installed) listed += (listed.empty() ? "" : ", ") + name;
    throw Error("No ODBC driver for SQL Server is installed (installed drivers: " +
                (listed.empty() ? std::string("none") : listed) +
                "); install Microsoft's \"ODBC Driver 18 for SQL Server\"");
  }
  return driver;
}

}  // namespace dorvik::platform
