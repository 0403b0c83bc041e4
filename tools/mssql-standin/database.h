// An open SQLite database with the server's functions, its identity table and a busy time-out.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace standin {

class SqlError;
// The SQL Server error for SQLite's last error on a handle.
SqlError sqliteError(sqlite3* db);

// Owns a prepared statement.
struct StatementDeleter {
  void operator()(sqlite3_stmt* s) const;
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

class Database {
 public:
  // Opens (and with create, first creates) the file. Throws std::runtime_error.
  Database(const std::filesystem::path& file, bool create);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* handle() const { return db_; }
  // Runs SQL without results; throws SqlError built from SQLite's message.
  void exec(const std::string& sql);
  // Prepares one statement; throws SqlError.
  StatementPtr prepare(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

// The identity bookkeeping table kept in every database: table, column, seed, step, last value.
inline constexpr const char* kIdentityTable = "__standin_identity";
// The schemas made with CREATE SCHEMA (dbo is always there).
inline constexpr const char* kSchemaTable = "__standin_schemas";

}  // namespace standin
