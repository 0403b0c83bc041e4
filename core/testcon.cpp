// testcon and its runner and service variants.
#include "core/testcon.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/db/odbc_error.h"
#include "core/db/statement.h"
#include "core/integer_text.h"
#include "platform/odbc_driver.h"

namespace dorvik {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

bool containsLocalDb(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("localdb") != std::string::npos;
}

// A value in a connection string, braced so that ";", "=" and blanks survive.
// Microsoft's drivers read "}}" as a brace inside; FreeTDS takes the text up to
// a "}" that ends the value, so it gets its braces without doubling.
std::string braced(std::string_view value, bool doubleClosingBraces = true) {
  std::string out = "{";
  for (char c : value) {
    out.push_back(c);
    if (c == '}' && doubleClosingBraces) out.push_back('}');
  }
  return out + "}";
}

std::string className(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Error*>(&e)) return own->className();
  return "Exception";
}

// Opens the connection; on failure returns "<class>", "<message>" of the error.
bool otevri(db::Connection& con, const ParametrySpojeni& p, std::string& trida, std::string& zprava,
            const std::function<void()>& poOtevreni) {
  try {
#ifndef _WIN32
    if (p.localDb) throw db::DatabaseError("A local SQL Server instance (LocalDB) is available only on Windows");
#endif
    con.open(pripojovaciretezec(p), p.casovylimit);
    poOtevreni();
    return true;
  } catch (const std::exception& e) {
    trida = className(e);
    zprava = e.what();
    return false;
  }
}

}  // namespace

std::string nazevserveru(std::string_view serverport) {
  if (containsLocalDb(serverport)) return std::string(serverport);
  return std::string(trim(serverport.substr(0, serverport.find(','))));
}

ParametrySpojeni rozeberspojeni(std::string_view serverport, std::string_view databaze, std::string_view jmeno,
                                std::string_view heslo, bool runner) {
  ParametrySpojeni p;
  p.databaze = std::string(databaze);
  if (containsLocalDb(serverport)) {
    p.localDb = true;
    p.server = std::string(serverport);
    p.casovylimit = runner ? 15 : 30;
    return p;
  }
  p.server = nazevserveru(serverport);
  const auto comma = serverport.find(',');
  if (comma != std::string_view::npos) {
    std::string_view rest = serverport.substr(comma + 1);
    p.port = parseInt32(rest.substr(0, rest.find(',')));
  }
  p.jmeno = std::string(trim(jmeno));
  p.heslo = std::string(trim(heslo));
  return p;
}

std::string pripojovaciretezec(const ParametrySpojeni& p) {
  // The installed SQL Server driver: FreeTDS on Linux; on Windows Microsoft's when there is one.
  const std::string driver = platform::sqlServerOdbcDriver();
  const bool freeTds = driver == "FreeTDS";
  if (p.localDb) {
    std::string s = "DRIVER=" + braced(freeTds ? "ODBC Driver 17 for SQL Server" : driver) +
                    ";Trusted_Connection=yes;SERVER=" + braced(p.server);
    return s + ";DATABASE=" + braced(p.databaze) + ";";
  }
  std::string s = freeTds ? "DRIVER={FreeTDS};SERVER=" + braced(p.server, false) + ";PORT=" + std::to_string(p.port) +
                                ";TDS_Version=7.4;ClientCharset=UTF-8;Encryption=request;UID=" + braced(p.jmeno, false) +
                                ";PWD=" + braced(p.heslo, false)
                          : "DRIVER=" + braced(driver) + ";Server=" + braced(p.server + "," + std::to_string(p.port)) +
                                ";TrustServerCertificate=yes;Encrypt=yes;UID=" + braced(p.jmeno) + ";PWD=" + braced(p.heslo);
  if (!p.databaze.empty()) s += ";DATABASE=" + braced(p.databaze, !freeTds);
  // FreeTDS keeps the closing brace of a braced value that ends the string
  // ("vorlak}"); a final separator avoids that.
  return s + ";";
}

bool testcon(db::Connection& con, std::string_view serverport, std::string_view databaze, std::string_view jmeno,
             std::string_view heslo, bool silent, bool conokmessage, std::ostream& console) {
  con.close();
  const ParametrySpojeni p = rozeberspojeni(serverport, databaze, jmeno, heslo, /*runner=*/true);
  std::string serverText;
  std::string trida, zprava;
  const bool ok = otevri(con, p, trida, zprava, [&] {
    db::Statement test(con);
    test.execute(std::string(kTestovaciDotaz));
    if (test.next()) serverText = test.field(0).asText();
  });
  if (!ok) {
    if (!silent) console << trida << ": " << zprava << "\n" << std::flush;
    return false;
  }
  if (conokmessage && !silent && con.isOpen()) {
    console << "připojeno k: " << serverText << "\r\n" << "databáze:" << con.databaseName() << "\n" << std::flush;
  }
  return true;
}

bool testconsluzby(db::Connection& con, std::string_view serverport, std::string_view databaze,
                   std::string_view jmeno, std::string_view heslo,
                   const std::function<void(const std::string&)>& log) {
  con.close();
  const ParametrySpojeni p = rozeberspojeni(serverport, databaze, jmeno, heslo, /*runner=*/false);
  std::string trida, zprava;
  const bool ok = otevri(con, p, trida, zprava, [] {});
  if (!ok) log(" chyba: " + trida + ", " + zprava);
  return ok;
}

}  // namespace dorvik
