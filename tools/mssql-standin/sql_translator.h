// Translates T-SQL statements, one at a time, into SQLite statements and server actions.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sql_lexer.h"
#include "sql_type.h"

namespace standin {

struct ColumnInfo {
  std::string name;
  SqlType type;
};

struct IdentityInfo {
  std::string column;
  std::int64_t seed = 1;
  std::int64_t step = 1;
};

// What translation needs to know about the session and its current database.
class SchemaView {
 public:
  virtual ~SchemaView() = default;
  // Columns of a table or view (by its SQLite name) in order; nullopt if there is none.
  virtual std::optional<std::vector<ColumnInfo>> columns(const std::string& table) = 0;
  virtual std::optional<IdentityInfo> identity(const std::string& table) = 0;
  virtual std::vector<std::string> databaseNames() = 0;
  virtual std::string currentDatabase() = 0;
  // A SQL literal for @@name (lower case, with "@@") and its type; nullopt if unknown.
  virtual std::optional<std::pair<std::string, SqlType>> systemValue(const std::string& name) = 0;
  // A SQL literal for IDENT_CURRENT of a table (by SQLite name); "NULL" if it has no identity.
  virtual std::string identCurrent(const std::string& table) = 0;
  // The 1-based SQLite parameter number and type of a batch variable such as "@P1"; nullopt if not declared.
  virtual std::optional<std::pair<int, SqlType>> variable(const std::string& name) = 0;
  // Whether a schema other than dbo was created with CREATE SCHEMA.
  virtual bool schemaExists(const std::string& name) = 0;
};

// The type and name of one result column as the translator knows it; an
// unknown type is decided from the values.
struct ResultColumn {
  std::string name;
  SqlType type;
};

struct TranslatedStatement {
  enum class Kind { Query, Modify, Insert, CreateTable, DropTable, Ddl, CreateDatabase, Use, Backup, SetNoCount, Ignore, BeginTran, CommitTran, RollbackTran, If };
  Kind kind = Kind::Ignore;
  std::string sql;  // the SQLite text (Query, Modify, Ddl, CreateTable, DropTable; If: a query giving 1 or 0)
  // Query: result columns by their output name; star columns take the SQLite declared type.
  std::vector<ResultColumn> typedColumns;
  // Insert.
  std::string table;
  std::vector<std::string> insertColumns;           // quoted SQLite names
  std::vector<std::vector<std::string>> insertRows;  // SQLite expressions, already converted to the column types
  std::optional<IdentityInfo> identity;             // CreateTable and Insert
  std::string outputSelect;                         // "select ... from t as inserted" for OUTPUT, rowid appended
  std::vector<ResultColumn> outputColumns;
  // CreateDatabase, Use, Backup: the database name; Backup: the file path.
  std::string name;
  std::string path;
  bool flag = false;  // SetNoCount: on
};

class Translator {
 public:
  // The tokens must outlive the translator.
  Translator(const std::vector<Token>& tokens, SchemaView& schema);
  ~Translator();
  Translator(const Translator&) = delete;
  Translator& operator=(const Translator&) = delete;
  // The next statement of the batch, or nullopt at its end. Throws SqlError.
  std::optional<TranslatedStatement> next();
  // Reads for syntax only: names that do not resolve are no error, as they may
  // be made by an earlier statement of the same batch.
  void checkOnly();
  // After the statement that follows IF: consumes an ELSE if there is one.
  bool acceptElse();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Quotes a name for SQLite: "name" with doubled quotes.
std::string quoteName(const std::string& name);
// Quotes a text as an SQLite string literal.
std::string quoteText(const std::string& text);

}  // namespace standin
