// SQLite handles of the server's databases.
#include "database.h"

#include <sqlite3.h>

#include <optional>
#include <stdexcept>

#include "sql_error.h"
#include "sql_functions.h"

namespace standin {

SqlError sqliteError(sqlite3* db) {
  const std::string m = sqlite3_errmsg(db);
  if (auto e = decodeFunctionError(m)) return SqlError(e->number, 16, 1, e->message);
  auto after = [&](const std::string& prefix) -> std::optional<std::string> {
    if (m.rfind(prefix, 0) != 0) return std::nullopt;
    return m.substr(prefix.size());
  };
  auto lastPart = [](const std::string& s) {
    const auto dot = s.rfind('.');
    return dot == std::string::npos ? s : s.substr(dot + 1);
  };
  if (auto t = after("no such table: ")) return SqlError(208, 16, 1, "Invalid object name '" + lastPart(*t) + "'.");
  if (auto c = after("no such column: ")) return SqlError(207, 16, 1, "Invalid column name '" + lastPart(*c) + "'.");
  if (auto c = after("ambiguous column name: ")) return SqlError(209, 16, 1, "Ambiguous column name '" + lastPart(*c) + "'.");
  if (auto t = after("table ")) {
    if (t->ends_with(" already exists")) return SqlError(2714, 16, 6, "There is already an object named '" + t->substr(0, t->size() - 15) + "' in the database.");
  }
  if (auto c = after("NOT NULL constraint failed: ")) {
    const auto dot = c->find('.');
    const std::string table = dot == std::string::npos ? *c : c->substr(0, dot);
    return SqlError(515, 16, 2, "Cannot insert the value NULL into column '" + lastPart(*c) + "', table 'dbo." + table + "'; column does not allow nulls.");
  }
  if (auto c = after("UNIQUE constraint failed: ")) {
    const auto dot = c->find('.');
    const std::string table = dot == std::string::npos ? *c : c->substr(0, dot);
    return SqlError(2627, 14, 1, "Violation of PRIMARY KEY or UNIQUE KEY constraint on table 'dbo." + table + "'. Cannot insert duplicate key in object 'dbo." + table + "'.");
  }
  if (m == "database is locked" || m == "database table is locked") return SqlError(1222, 16, 56, "Lock request time out period exceeded.");
  if (m.find("misuse of aggregate") != std::string::npos || m.find("GROUP BY") != std::string::npos)
    return SqlError(8120, 16, 1, "Column is invalid in the select list because it is not contained in either an aggregate function or the GROUP BY clause (" + m + ").");
  return SqlError(8180, 16, 1, "Statement(s) could not be prepared: " + m + ".");
}

void StatementDeleter::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

Database::Database(const std::filesystem::path& file, bool create) {
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw std::runtime_error("cannot open " + file.string() + ": " + why);
  }
  sqlite3_busy_timeout(db_, 10000);
  // A name in double quotes that matches no column must be an error, never a string.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_extended_result_codes(db_, 0);
  registerSqlFunctions(db_);
  try {
    if (create) {
      // WAL lets readers go on while another connection writes.
      exec("PRAGMA journal_mode=WAL");
      exec(std::string("CREATE TABLE IF NOT EXISTS ") + kIdentityTable +
           " (tbl TEXT PRIMARY KEY COLLATE NOCASE, col TEXT NOT NULL, seed INTEGER NOT NULL, step INTEGER NOT NULL, last INTEGER)");
    }
    exec("PRAGMA synchronous=NORMAL");
    exec(std::string("CREATE TABLE IF NOT EXISTS ") + kSchemaTable + " (name TEXT PRIMARY KEY COLLATE NOCASE)");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

Database::~Database() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
}

void Database::exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    sqlite3_free(message);
    throw sqliteError(db_);
  }
}

StatementPtr Database::prepare(const std::string& sql) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr) != SQLITE_OK) {
    SqlError e = sqliteError(db_);
    sqlite3_finalize(s);
    throw e;
  }
  return StatementPtr(s);
}

}  // namespace standin
