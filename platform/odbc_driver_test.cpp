// The choice among installed ODBC drivers for SQL Server connections.
#include "platform/odbc_driver.h"

#include <gtest/gtest.h>

namespace dorvik::platform {
namespace {

TEST(OdbcDriver, PrefersMicrosoftNewestFirstThenFreeTds) {
  struct Case {
    std::vector<std::string> installed;
    const char* chosen;
  };
  const Case cases[] = {
      {{"FreeTDS", "SQL Server", "ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server"},
       "ODBC Driver 18 for SQL Server"},
      {{"SQL Server Native Client 11.0", "ODBC Driver 17 for SQL Server"}, "ODBC Driver 17 for SQL Server"},
      {{"SQL Server", "SQL Server Native Client 11.0"}, "SQL Server Native Client 11.0"},
      {{"FreeTDS", "SQL Server"}, "SQL Server"},
      {{"Microsoft Access Driver (*.mdb)", "FreeTDS"}, "FreeTDS"},
      // Names must match whole: neighbours and other letter cases are other drivers.
      {{"SQL Server 2000", "freetds", "ODBC Driver 18 for SQL Server (beta)"}, ""},
      {{}, ""},
  };
  for (const Case& c : cases) {
    std::string listed;
    for (const std::string& name : c.installed) listed += name + "; ";
    EXPECT_EQ(chooseSqlServerOdbcDriver(c.installed), c.chosen) << listed;
  }
}

TEST(OdbcDriver, PosixNamesTheFreeTdsDriverRegisteredWithUnixOdbc) {
  EXPECT_EQ(sqlServerOdbcDriver(), "FreeTDS");
}

}  // namespace
}  // namespace dorvik::platform
