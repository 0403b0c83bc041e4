// SQLite functions and the collation that give translated statements SQL Server's semantics.
#pragma once
#include <optional>
#include <string>

struct sqlite3;

namespace standin {

// Registers the "MSSQL" collation and the mssql_* functions on a database handle.
void registerSqlFunctions(sqlite3* db);

// Errors raised inside functions travel through SQLite as "#<number>#<text>";
// this reads such a message back. nullopt for an ordinary SQLite message.
struct EncodedError {
  int number;
  std::string message;
};
std::optional<EncodedError> decodeFunctionError(const std::string& sqliteMessage);
std::string encodeFunctionError(int number, const std::string& message);

// Datepart names T-SQL accepts, normalised ("mi" -> "minute"); nullopt for an unknown one.
std::optional<std::string> normaliseDatepart(const std::string& name);

}  // namespace standin
