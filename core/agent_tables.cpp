// tabulkaexistuje, prikaz and aktualizujdb.
#include "core/agent_tables.h"

#include "core/db/statement.h"

namespace dorvik {

bool tabulkaexistuje(db::Connection& con, std::string_view nazevtabulky) {
  db::Statement q(con);
  q.execute("select count(*) from INFORMATION_SCHEMA.TABLES where TABLE_NAME='" + std::string(nazevtabulky) + "'");
  return q.next() && q.field(0).asInt() > 0;
}

void prikaz(db::Connection& con, std::string_view s) {
  db::Statement q(con);
  q.execute(std::string(s));
}

void aktualizujdb(db::Connection& con) {
  if (con.databaseName() == "master") return;
  if (!tabulkaexistuje(con, "chat")) prikaz(con, kCreateChat);
  if (!tabulkaexistuje(con, "zpravychat")) prikaz(con, kCreateZpravychat);
  if (!tabulkaexistuje(con, "ulohy")) {
    prikaz(con, std::string(kCreateUlohyLine1) + "\r\n" + std::string(kCreateUlohyLine2));
  }
  if (!tabulkaexistuje(con, "historieagent")) prikaz(con, kCreateHistorieagent);
}

}  // namespace dorvik
