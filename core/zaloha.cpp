// Backup file names, the backup statement and zalohujdb.
#include "core/zaloha.h"

#include <cctype>

#include "core/datetime_text.h"
#include "core/db/statement.h"

namespace dorvik {
namespace {

// Letters, digits and _ @ # $, not starting with a digit or $: SQL Server takes such a name unquoted.
bool plainIdentifier(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front())) || name.front() == '$') return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '@' && c != '#' && c != '$') return false;
  }
  return true;
}

std::string doubled(std::string_view text, char c) {
  std::string out;
  for (char ch : text) {
    out.push_back(ch);
    if (ch == c) out.push_back(c);
  }
  return out;
}

}  // namespace

std::string nazevzalohy(std::string_view databaze, const DateTime& kdy) {
  std::string name = std::string(databaze) + "_" + datumcas(kdy);
  for (char& c : name) {
    if (c == '.' || c == ':' || c == '/' || c == '\\') c = '_';
    else if (c == ' ') c = '-';
  }
  return name + ".bak";
}

std::string cestazalohy(std::string_view kam, std::string_view soubor) {
  return std::string(kam) + "\\" + std::string(soubor);
}

std::string prikazzalohy(std::string_view databaze, std::string_view cesta) {
  const std::string name = plainIdentifier(databaze) ? std::string(databaze) : "[" + doubled(databaze, ']') + "]";
  return "BACKUP DATABASE " + name + " TO DISK =N'" + doubled(cesta, '\'') + "' WITH INIT";
}

std::string zalohujdb(std::string_view kam, db::Connection& con) {
  const std::string databaze = con.databaseName();
  const std::string cesta = cestazalohy(kam, nazevzalohy(databaze, platform::localNow()));
  try {
    db::Statement prikaz(con);
    prikaz.execute(prikazzalohy(databaze, cesta));
    return {};
  } catch (const std::exception&) {
    return "Pozor, chyba při vytváření zálohy, zkontrolujte nastavení sql serveru a dostupnost úložiště ze serveru. "
           "Cesta: " +
           cesta;
  }
}

}  // namespace dorvik
