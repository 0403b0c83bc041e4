// testcon: the server text, the connection string and the failure reports against a closed port.
#include "core/testcon.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "core/integer_text.h"
#include "tests/common/closed_port.h"

namespace dorvik {
namespace {

TEST(Testcon, NetworkServerText) {
  struct Case {
    const char* serverport;
    const char* server;
    int port;
  };
  const Case cases[] = {
      {"localhost,1433", "localhost", 1433}, {"srv", "srv", 1433},           {" srv , 1450", "srv", 1450},
      {"srv,1450,x", "srv", 1450},           {"srv,  0x5AA", "srv", 1450},  {"\tsrv\t", "srv", 1433},
      {"", "", 1433},
  };
  for (const Case& c : cases) {
    const ParametrySpojeni p = rozeberspojeni(c.serverport, " db ", " sa ", " heslo ", true);
    EXPECT_FALSE(p.localDb) << c.serverport;
    EXPECT_EQ(p.server, c.server) << c.serverport;
    EXPECT_EQ(p.port, c.port) << c.serverport;
    EXPECT_EQ(p.databaze, " db ") << "the database text is passed on unchanged";
    EXPECT_EQ(p.jmeno, "sa");
    EXPECT_EQ(p.heslo, "heslo");
    EXPECT_EQ(p.casovylimit, 30);
  }
}

TEST(Testcon, PortThatIsNoWholeNumberThrows) {
  for (const char* serverport : {"srv,", "srv,1450 ", "srv,abc", "srv,14 50", "srv,99999999999"}) {
    EXPECT_THROW(rozeberspojeni(serverport, "", "", "", true), ConversionError) << serverport;
  }
}

TEST(Testcon, LocalInstanceText) {
  for (const char* serverport : {"(localdb)\\MSSQLLocalDB", "(LocalDB)\\v11.0,1450", "mylocaldbhost"}) {
    const ParametrySpojeni p = rozeberspojeni(serverport, "", " sa ", "x", true);
    EXPECT_TRUE(p.localDb) << serverport;
    EXPECT_EQ(p.server, serverport) << "the whole text, a port part included";
    EXPECT_EQ(p.jmeno, "") << "no login in the local-instance mode";
  }
  EXPECT_EQ(rozeberspojeni("(localdb)\\x", "", "", "", true).casovylimit, 15);
  EXPECT_EQ(rozeberspojeni("(localdb)\\x", "", "", "", false).casovylimit, 30);
}

TEST(Testcon, ConnectionStrings) {
  ParametrySpojeni p = rozeberspojeni("db.example.test,1450", " vorlak ", "sa", "a;b}c", true);
  EXPECT_EQ(pripojovaciretezec(p),
            "DRIVER={FreeTDS};SERVER={db.example.test};PORT=1450;TDS_Version=7.4;ClientCharset=UTF-8;"
            "Encryption=request;UID={sa};PWD={a;b}c};DATABASE={ vorlak };");
  p = rozeberspojeni("srv", "", "sa", "", true);
  EXPECT_EQ(pripojovaciretezec(p).find("DATABASE"), std::string::npos) << "empty: the login's default database";
  p = rozeberspojeni("(localdb)\\MSSQLLocalDB", "", "", "", true);
  EXPECT_EQ(pripojovaciretezec(p),
            "DRIVER={ODBC Driver 17 for SQL Server};Trusted_Connection=yes;SERVER={(localdb)\\MSSQLLocalDB};DATABASE={};");
}

TEST(Testcon, FailureReports) {
  const std::string server = "127.0.0.1," + std::to_string(testing::closedPort());
  db::Connection con;

  std::ostringstream console;
  EXPECT_FALSE(testcon(con, server, "vorlak", "sa", "x", false, true, console));
  EXPECT_EQ(console.str().rfind("DatabaseError: ", 0), 0u) << console.str();
  EXPECT_FALSE(con.isOpen());

  std::ostringstream quiet;
  EXPECT_FALSE(testcon(con, server, "vorlak", "sa", "x", true, true, quiet));
  EXPECT_EQ(quiet.str(), "") << "silent";

  std::string logged;
  EXPECT_FALSE(testconsluzby(con, server, "vorlak", "sa", "x", [&](const std::string& line) { logged += line; }));
  EXPECT_EQ(logged.rfind(" chyba: DatabaseError, ", 0), 0u) << logged;

  std::ostringstream local;
  EXPECT_FALSE(testcon(con, "(localdb)\\MSSQLLocalDB", "", "", "", false, false, local));
  EXPECT_EQ(local.str(), "DatabaseError: A local SQL Server instance (LocalDB) is available only on Windows\n");

  std::ostringstream unused;
  EXPECT_THROW(testcon(con, "127.0.0.1,x", "", "", "", false, false, unused), ConversionError);
  EXPECT_EQ(unused.str(), "") << "the conversion error is not reported as a connection failure";
}

}  // namespace
}  // namespace dorvik
