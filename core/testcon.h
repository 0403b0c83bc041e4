// testcon: sets up and opens the database connection from the four connection texts of the settings.
#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "core/db/connection.h"

namespace dorvik {

// Where and how to connect, worked out from the settings' connection texts.
struct ParametrySpojeni {
  bool localDb = false;       // local instance with integrated security
  std::string server;         // host (network) or the whole server text (local instance)
  int port = 1433;            // network mode only
  std::string databaze;       // unchanged, may be empty for the login's default database
  std::string jmeno, heslo;   // network mode only, trimmed
  int casovylimit = 30;       // login time-out in seconds
};

// Chooses the mode and splits the server text. A text containing "localdb"
// in any case selects the local instance. Otherwise "host[,port[,...]]":
// the host trimmed, the port a whole number (blanks before it allowed; any
// further part ignored), 1433 without a comma. Throws ConversionError for a
// port that is not a whole number. `runner` picks the runner's local-instance
// time-out (15 s) instead of 30 s.
ParametrySpojeni rozeberspojeni(std::string_view serverport, std::string_view databaze, std::string_view jmeno,
                                std::string_view heslo, bool runner);

// The server name testcon sets for this server text, before anything can fail:
// the whole text for a local instance, else the trimmed part before the first comma.
std::string nazevserveru(std::string_view serverport);

// The ODBC connection string for these parameters: FreeTDS over TCP with
// TDS 7.4, encryption when the server offers it (certificate not checked);
// for a local instance Microsoft's ODBC driver with integrated security.
std::string pripojovaciretezec(const ParametrySpojeni& p);

// The text of the connection test.
inline constexpr std::string_view kTestovaciDotaz = "select @@servername+char(13)+@@version";

// Runner variant: opens the connection and runs the test query. Failures are
// reported on `console` as "<class>: <message>" unless `silent`; with
// `conokmessage` (and not silent) success prints "připojeno k: ..." there.
// A port that is not a whole number throws ConversionError to the caller.
bool testcon(db::Connection& con, std::string_view serverport, std::string_view databaze, std::string_view jmeno,
             std::string_view heslo, bool silent, bool conokmessage, std::ostream& console);

// Service variant: opens the connection only; a failure goes to `log` as
// " chyba: <class>, <message>". ConversionError reaches the caller as above.
bool testconsluzby(db::Connection& con, std::string_view serverport, std::string_view databaze,
                   std::string_view jmeno, std::string_view heslo,
                   const std::function<void(const std::string&)>& log);

}  // namespace dorvik
