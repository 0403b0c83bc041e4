// Runs T-SQL batches of one connection against its current database and writes the result tokens.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog.h"
#include "database.h"
#include "rpc_reader.h"
#include "sql_translator.h"
#include "token_writer.h"

namespace standin {

struct ServerIdentity {
  std::string serverName;
  std::string version;
};

class Executor : public SchemaView {
 public:
  Executor(Catalog& catalog, const ServerIdentity& identity, int spid);
  ~Executor() override;

  // Switches the current database; throws SqlError 911 for an unknown one.
  void useDatabase(const std::string& name);
  const std::string& database() const { return databaseName_; }

  // Runs a batch. Each statement ends with a DONE (DONEINPROC inside a
  // procedure call) carrying the MORE flag; the caller writes the final token.
  // Returns false if any statement failed.
  bool runBatch(const std::string& sql, TokenWriter& w, bool inProcedure, const std::vector<RpcParameter>& parameters = {});

  // SchemaView
  std::optional<std::vector<ColumnInfo>> columns(const std::string& table) override;
  std::optional<IdentityInfo> identity(const std::string& table) override;
  std::vector<std::string> databaseNames() override;
  std::string currentDatabase() override { return databaseName_; }
  std::optional<std::pair<std::string, SqlType>> systemValue(const std::string& name) override;
  std::string identCurrent(const std::string& table) override;
  std::optional<std::pair<int, SqlType>> variable(const std::string& name) override;
  bool schemaExists(const std::string& name) override;

 private:
  void execute(const TranslatedStatement& st, TokenWriter& w, bool inProcedure);
  bool condition(const std::string& sql);
  void bindAll(sqlite3_stmt* s);
  ResultSet query(const std::string& sql, const std::vector<ResultColumn>& typed);
  std::int64_t modify(const std::string& sql);
  void insert(const TranslatedStatement& st, TokenWriter& w, bool inProcedure);
  void writeDone(TokenWriter& w, bool inProcedure, std::uint16_t status, std::uint16_t command, std::uint64_t rows);
  // A write runs in its own transaction unless the client opened one.
  class WriteScope;

  Catalog& catalog_;
  const ServerIdentity& identity_;
  int spid_;
  std::string databaseName_;
  std::unique_ptr<Database> db_;
  bool noCount_ = false;
  int tranCount_ = 0;
  std::optional<std::int64_t> scopeIdentity_;
  std::optional<std::int64_t> lastIdentity_;
  std::int64_t rowCount_ = 0;
  std::int32_t lastError_ = 0;
  std::vector<std::pair<std::string, SqlType>> variables_;  // "@name" for ?1, ?2, ...
  std::vector<Cell> bindings_;
  // Table definitions by table name, valid while the catalog's schema generation stays.
  std::map<std::string, std::optional<std::vector<ColumnInfo>>> columnCache_;
  std::uint64_t cacheGeneration_ = ~std::uint64_t{0};
};

}  // namespace standin
