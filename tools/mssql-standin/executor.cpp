// Statement execution: queries, writes with identity values, DDL, USE, BACKUP and transactions.
#include "executor.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "backup.h"
#include "sql_datetime.h"
#include "sql_error.h"
#include "text.h"

namespace standin {
namespace {

using Base = SqlType::Base;

std::string realLiteral(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  std::string s = buf;
  if (s.find_first_of(".eE") == std::string::npos) s += ".0";
  return s;
}

Cell cellOf(sqlite3_stmt* s, int i) {
  Cell c;
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
      c.kind = Cell::Kind::Integer;
      c.integer = sqlite3_column_int64(s, i);
      break;
    case SQLITE_FLOAT:
      c.kind = Cell::Kind::Real;
      c.real = sqlite3_column_double(s, i);
      break;
    case SQLITE_TEXT:
      c.kind = Cell::Kind::Text;
      c.text.assign(reinterpret_cast<const char*>(sqlite3_column_text(s, i)), static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
      break;
    case SQLITE_BLOB:
      c.kind = Cell::Kind::Blob;
      c.text.assign(static_cast<const char*>(sqlite3_column_blob(s, i)), static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
      break;
    default: break;
  }
  return c;
}

// The type of a column the translator could not type, from its values.
SqlType typeFromValues(const std::vector<std::vector<Cell>>& rows, std::size_t col) {
  bool text = false, real = false, big = false;
  for (const auto& row : rows) {
    const Cell& c = row[col];
    if (c.kind == Cell::Kind::Text || c.kind == Cell::Kind::Blob) text = true;
    if (c.kind == Cell::Kind::Real) real = true;
    if (c.kind == Cell::Kind::Integer && (c.integer > INT32_MAX || c.integer < INT32_MIN)) big = true;
  }
  if (text) return SqlType::text(Base::NVarChar, 4000);
  if (real) return SqlType::of(Base::Float);
  return SqlType::of(big ? Base::BigInt : Base::Int);
}

// Makes a text or decimal column wide enough for its values, as clients trust
// the announced width; an integer that does not fit its type is SQL Server's
// overflow error, never a cut value.
void widen(ResultSet& rs) {
  for (std::size_t i = 0; i < rs.columns.size(); ++i) {
    SqlType& t = rs.columns[i].type;
    if (t.isInteger()) {
      const std::int64_t lo = t.base == Base::TinyInt ? 0 : t.base == Base::SmallInt ? -32768 : t.base == Base::Int ? INT32_MIN : INT64_MIN;
      const std::int64_t hi = t.base == Base::TinyInt ? 255 : t.base == Base::SmallInt ? 32767 : t.base == Base::Int ? INT32_MAX : INT64_MAX;
      for (const auto& row : rs.rows) {
        const Cell& c = row[i];
        const bool outside = (c.kind == Cell::Kind::Integer && (c.integer < lo || c.integer > hi)) ||
                             (c.kind == Cell::Kind::Real && (c.real < static_cast<double>(lo) || c.real > static_cast<double>(hi)));
        if (outside) throw SqlError(8115, 16, 2, "Arithmetic overflow error converting expression to data type " + t.displayName() + ".");
      }
      continue;
    }
    if (t.base == Base::Decimal) {
      for (const auto& row : rs.rows) {
        const Cell& c = row[i];
        const double v = c.kind == Cell::Kind::Integer ? static_cast<double>(c.integer) : c.kind == Cell::Kind::Real ? c.real : 0;
        if (std::fabs(v) >= std::pow(10.0, t.precision - t.scale)) t.precision = 38;
      }
      continue;
    }
    if (!t.isText() || t.length < 0) continue;
    std::size_t longest = 0;
    for (const auto& row : rs.rows) {
      const Cell& c = row[i];
      if (c.kind == Cell::Kind::Text) longest = std::max(longest, t.isUnicode() ? utf16Length(c.text) : c.text.size());
      else if (c.kind != Cell::Kind::Null) longest = std::max<std::size_t>(longest, 40);
    }
    if (longest > static_cast<std::size_t>(t.length)) {
      const std::size_t limit = t.isUnicode() ? 4000 : 8000;
      if (t.base == Base::NChar) t.base = Base::NVarChar;
      if (t.base == Base::Char) t.base = Base::VarChar;
      t.length = longest > limit ? -1 : static_cast<int>(longest);
    }
  }
}

// SQLite's step with errors turned into SQL Server's.
int step(sqlite3* db, sqlite3_stmt* s) {
  const int rc = sqlite3_step(s);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw sqliteError(db);
  return rc;
}

}  // namespace

class Executor::WriteScope {
 public:
  explicit WriteScope(Database& db) : db_(db), own_(sqlite3_get_autocommit(db.handle()) != 0) {
    if (own_) db_.exec("BEGIN IMMEDIATE");
  }
  void commit() {
    if (own_) db_.exec("COMMIT");
    own_ = false;
  }
  ~WriteScope() {
    if (own_) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;

 private:
  Database& db_;
  bool own_;
};

Executor::Executor(Catalog& catalog, const ServerIdentity& identity, int spid) : catalog_(catalog), identity_(identity), spid_(spid) {}

Executor::~Executor() = default;

void Executor::useDatabase(const std::string& name) {
  const auto found = catalog_.find(name);
  if (!found) throw SqlError(911, 16, 1, "Database '" + name + "' does not exist. Make sure that the name is entered correctly.");
  if (db_ && tranCount_ > 0) throw SqlError(226, 16, 6, "USE statement not allowed within multi-statement transaction.");
  db_ = std::make_unique<Database>(catalog_.fileOf(*found), false);
  databaseName_ = *found;
  columnCache_.clear();
}

std::vector<std::string> Executor::databaseNames() { return catalog_.names(); }

std::optional<std::vector<ColumnInfo>> Executor::columns(const std::string& table) {
  const std::string key = lowerText(table);
  if (key.rfind("__standin", 0) == 0 || key.rfind("sqlite_", 0) == 0) return std::nullopt;
  if (cacheGeneration_ != catalog_.schemaGeneration()) {
    columnCache_.clear();
    cacheGeneration_ = catalog_.schemaGeneration();
  }
  if (auto hit = columnCache_.find(key); hit != columnCache_.end()) return hit->second;
  StatementPtr s = db_->prepare("SELECT name, type FROM pragma_table_info(?1)");
  sqlite3_bind_text(s.get(), 1, table.c_str(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  std::vector<ColumnInfo> out;
  while (step(db_->handle(), s.get()) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
    const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
    out.push_back(ColumnInfo{name != nullptr ? name : "", SqlType::fromDeclaration(type != nullptr ? type : "")});
  }
  std::optional<std::vector<ColumnInfo>> result;
  if (!out.empty()) result = std::move(out);
  columnCache_[key] = result;
  return result;
}

std::optional<IdentityInfo> Executor::identity(const std::string& table) {
  StatementPtr s = db_->prepare(std::string("SELECT col, seed, step FROM ") + kIdentityTable + " WHERE tbl = ?1");
  sqlite3_bind_text(s.get(), 1, table.c_str(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  if (step(db_->handle(), s.get()) != SQLITE_ROW) return std::nullopt;
  return IdentityInfo{reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)), sqlite3_column_int64(s.get(), 1),
                      sqlite3_column_int64(s.get(), 2)};
}

std::string Executor::identCurrent(const std::string& table) {
  StatementPtr s = db_->prepare(std::string("SELECT coalesce(last, seed) FROM ") + kIdentityTable + " WHERE tbl = ?1");
  sqlite3_bind_text(s.get(), 1, table.c_str(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  if (step(db_->handle(), s.get()) != SQLITE_ROW) return "NULL";
  return std::to_string(sqlite3_column_int64(s.get(), 0));
}

std::optional<std::pair<std::string, SqlType>> Executor::systemValue(const std::string& name) {
  const SqlType sysname = SqlType::text(Base::NVarChar, 128);
  auto number = [](std::optional<std::int64_t> v) { return v ? std::to_string(*v) : std::string("NULL"); };
  if (name == "getdate()") {
    std::int32_t days = 0;
    std::uint32_t ticks = 0;
    toDaysAndTicks(ServerClock::now(), days, ticks);
    return std::pair{realLiteral(fromDaysAndTicks(days, ticks)), SqlType::of(Base::DateTime)};
  }
  if (name == "@@spid") return std::pair{std::to_string(spid_), SqlType::of(Base::SmallInt)};
  if (name == "@@servername") return std::pair{quoteText(identity_.serverName), sysname};
  if (name == "@@servicename") return std::pair{std::string("'MSSQLSERVER'"), sysname};
  if (name == "@@version") return std::pair{quoteText(identity_.version), SqlType::text(Base::NVarChar, 300)};
  if (name == "@@identity") return std::pair{number(lastIdentity_), SqlType::decimal(38, 0)};
  if (name == "scope_identity()") return std::pair{number(scopeIdentity_), SqlType::decimal(38, 0)};
  if (name == "@@rowcount") return std::pair{std::to_string(rowCount_), SqlType::of(Base::Int)};
  if (name == "@@trancount") return std::pair{std::to_string(tranCount_), SqlType::of(Base::Int)};
  if (name == "@@error") return std::pair{std::to_string(lastError_), SqlType::of(Base::Int)};
  if (name == "@@language") return std::pair{std::string("'us_english'"), sysname};
  if (name == "@@datefirst") return std::pair{std::string("7"), SqlType::of(Base::TinyInt)};
  if (name == "@@textsize") return std::pair{std::string("2147483647"), SqlType::of(Base::Int)};
  if (name == "@@max_precision") return std::pair{std::string("38"), SqlType::of(Base::TinyInt)};
  if (name == "@@lock_timeout") return std::pair{std::string("-1"), SqlType::of(Base::Int)};
  if (name == "@@options") return std::pair{std::string("5176"), SqlType::of(Base::Int)};
  return std::nullopt;
}

std::optional<std::pair<int, SqlType>> Executor::variable(const std::string& name) {
  for (std::size_t i = 0; i < variables_.size(); ++i) {
    if (lowerText(variables_[i].first) == lowerText(name)) return std::pair{static_cast<int>(i + 1), variables_[i].second};
  }
  return std::nullopt;
}

bool Executor::schemaExists(const std::string& name) {
  StatementPtr s = db_->prepare(std::string("SELECT 1 FROM ") + kSchemaTable + " WHERE name = ?1");
  sqlite3_bind_text(s.get(), 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  return step(db_->handle(), s.get()) == SQLITE_ROW;
}

void Executor::bindAll(sqlite3_stmt* s) {
  const int count = sqlite3_bind_parameter_count(s);
  for (int i = 1; i <= count && static_cast<std::size_t>(i) <= bindings_.size(); ++i) {
    const Cell& c = bindings_[static_cast<std::size_t>(i - 1)];
    switch (c.kind) {
      case Cell::Kind::Null: sqlite3_bind_null(s, i); break;
      case Cell::Kind::Integer: sqlite3_bind_int64(s, i, c.integer); break;
      case Cell::Kind::Real: sqlite3_bind_double(s, i, c.real); break;
      case Cell::Kind::Text: sqlite3_bind_text(s, i, c.text.data(), static_cast<int>(c.text.size()), SQLITE_STATIC); break;
      case Cell::Kind::Blob: sqlite3_bind_blob(s, i, c.text.data(), static_cast<int>(c.text.size()), SQLITE_STATIC); break;
    }
  }
}

ResultSet Executor::query(const std::string& sql, const std::vector<ResultColumn>& typed) {
  StatementPtr s = db_->prepare(sql);
  bindAll(s.get());
  ResultSet rs;
  const int n = sqlite3_column_count(s.get());
  while (step(db_->handle(), s.get()) == SQLITE_ROW) {
    std::vector<Cell> row;
    row.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) row.push_back(cellOf(s.get(), i));
    rs.rows.push_back(std::move(row));
  }
  for (int i = 0; i < n; ++i) {
    ResultColumn c;
    const char* name = sqlite3_column_name(s.get(), i);
    c.name = name != nullptr ? name : "";
    for (const ResultColumn& t : typed) {
      if (t.name == c.name && t.type.known()) {
        c.type = t.type;
        break;
      }
    }
    if (!c.type.known()) {
      const char* decl = sqlite3_column_decltype(s.get(), i);
      if (decl != nullptr) c.type = SqlType::fromDeclaration(decl);
    }
    if (!c.type.known()) c.type = typeFromValues(rs.rows, static_cast<std::size_t>(i));
    if (!c.name.empty() && c.name[0] == '\x01') c.name.clear();
    rs.columns.push_back(std::move(c));
  }
  widen(rs);
  return rs;
}

std::int64_t Executor::modify(const std::string& sql) {
  WriteScope scope(*db_);
  StatementPtr s = db_->prepare(sql);
  bindAll(s.get());
  step(db_->handle(), s.get());
  const std::int64_t changed = sqlite3_changes(db_->handle());
  s.reset();
  scope.commit();
  return changed;
}

void Executor::writeDone(TokenWriter& w, bool inProcedure, std::uint16_t status, std::uint16_t command, std::uint64_t rows) {
  if (noCount_) status = static_cast<std::uint16_t>(status & ~kDoneCount);
  w.done(inProcedure ? kDoneInProc : kDone, static_cast<std::uint16_t>(status | kDoneMore), command, rows);
}

void Executor::insert(const TranslatedStatement& st, TokenWriter& w, bool inProcedure) {
  WriteScope scope(*db_);
  std::optional<std::int64_t> last;
  if (st.identity) {
    StatementPtr s = db_->prepare(std::string("SELECT last FROM ") + kIdentityTable + " WHERE tbl = ?1");
    sqlite3_bind_text(s.get(), 1, st.table.c_str(), static_cast<int>(st.table.size()), SQLITE_TRANSIENT);
    if (step(db_->handle(), s.get()) == SQLITE_ROW && sqlite3_column_type(s.get(), 0) != SQLITE_NULL) last = sqlite3_column_int64(s.get(), 0);
  }
  ResultSet output;
  std::optional<std::int64_t> generated;
  for (const auto& row : st.insertRows) {
    std::string columns, values;
    for (std::size_t i = 0; i < st.insertColumns.size(); ++i) {
      columns += (i ? "," : "") + st.insertColumns[i];
      values += (i ? "," : "") + row[i];
    }
    if (st.identity) {
      const std::int64_t next = last ? *last + st.identity->step : st.identity->seed;
      last = next;
      generated = next;
      columns += (columns.empty() ? "" : ",") + quoteName(st.identity->column);
      values += (values.empty() ? "" : ",") + std::to_string(next);
    }
    const std::string sql = columns.empty() ? "INSERT INTO " + quoteName(st.table) + " DEFAULT VALUES"
                                            : "INSERT INTO " + quoteName(st.table) + " (" + columns + ") VALUES (" + values + ")";
    StatementPtr s = db_->prepare(sql);
    bindAll(s.get());
    step(db_->handle(), s.get());
    if (!st.outputSelect.empty()) {
      ResultSet one = query(st.outputSelect + std::to_string(sqlite3_last_insert_rowid(db_->handle())), st.outputColumns);
      if (output.columns.empty()) output.columns = one.columns;
      for (auto& r : one.rows) output.rows.push_back(std::move(r));
    }
  }
  if (st.identity && generated) {
    StatementPtr s = db_->prepare(std::string("UPDATE ") + kIdentityTable + " SET last = ?2 WHERE tbl = ?1");
    sqlite3_bind_text(s.get(), 1, st.table.c_str(), static_cast<int>(st.table.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s.get(), 2, *generated);
    step(db_->handle(), s.get());
  }
  scope.commit();
  if (generated) scopeIdentity_ = lastIdentity_ = generated;
  rowCount_ = static_cast<std::int64_t>(st.insertRows.size());
  if (!st.outputSelect.empty()) {
    for (std::size_t i = 0; i < output.columns.size() && i < st.outputColumns.size(); ++i) output.columns[i].name = st.outputColumns[i].name;
    widen(output);
    w.resultSet(output);
  }
  writeDone(w, inProcedure, kDoneCount, 0xC3, static_cast<std::uint64_t>(rowCount_));
}

void Executor::execute(const TranslatedStatement& st, TokenWriter& w, bool inProcedure) {
  using Kind = TranslatedStatement::Kind;
  // Definitions change with DDL, and with the end of a transaction that may have held DDL.
  struct SchemaChange {
    Catalog& catalog;
    bool changes;
    ~SchemaChange() {
      if (changes) catalog.schemaChanged();
    }
  } schemaChange{catalog_, st.kind == Kind::CreateTable || st.kind == Kind::DropTable || st.kind == Kind::Ddl ||
                               st.kind == Kind::CommitTran || st.kind == Kind::RollbackTran};
  switch (st.kind) {
    case Kind::Query: {
      ResultSet rs = query(st.sql, st.typedColumns);
      rowCount_ = static_cast<std::int64_t>(rs.rows.size());
      w.resultSet(rs);
      writeDone(w, inProcedure, kDoneCount, 0xC1, rs.rows.size());
      return;
    }
    case Kind::Modify: {
      rowCount_ = modify(st.sql);
      writeDone(w, inProcedure, kDoneCount, 0xC5, static_cast<std::uint64_t>(rowCount_));
      return;
    }
    case Kind::Insert: insert(st, w, inProcedure); return;
    case Kind::CreateTable: {
      WriteScope scope(*db_);
      db_->exec(st.sql);
      if (st.identity) {
        StatementPtr s = db_->prepare(std::string("INSERT OR REPLACE INTO ") + kIdentityTable + " (tbl, col, seed, step, last) VALUES (?1, ?2, ?3, ?4, NULL)");
        sqlite3_bind_text(s.get(), 1, st.table.c_str(), static_cast<int>(st.table.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s.get(), 2, st.identity->column.c_str(), static_cast<int>(st.identity->column.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s.get(), 3, st.identity->seed);
        sqlite3_bind_int64(s.get(), 4, st.identity->step);
        step(db_->handle(), s.get());
      }
      scope.commit();
      break;
    }
    case Kind::DropTable: {
      if (!columns(st.table)) throw SqlError(3701, 11, 5, st.name);
      WriteScope scope(*db_);
      db_->exec(st.sql);
      StatementPtr s = db_->prepare(std::string("DELETE FROM ") + kIdentityTable + " WHERE tbl = ?1");
      sqlite3_bind_text(s.get(), 1, st.table.c_str(), static_cast<int>(st.table.size()), SQLITE_TRANSIENT);
      step(db_->handle(), s.get());
      scope.commit();
      break;
    }
    case Kind::Ddl: {
      WriteScope scope(*db_);
      db_->exec(st.sql);
      scope.commit();
      break;
    }
    case Kind::CreateDatabase: catalog_.create(st.name); break;
    case Kind::Use: {
      const std::string old = databaseName_;
      useDatabase(st.name);
      w.envChange(1, databaseName_, old);
      w.info(5701, 2, "Changed database context to '" + databaseName_ + "'.");
      break;
    }
    case Kind::Backup: {
      BackupOutcome outcome = backupDatabase(catalog_, st.name, st.path, st.flag);
      if (!outcome.ok) {
        for (std::size_t i = 0; i + 1 < outcome.messages.size(); ++i) w.error(outcome.messages[i]);
        throw outcome.messages.back();
      }
      for (const SqlError& m : outcome.messages) w.info(m.number(), m.state(), m.what());
      break;
    }
    case Kind::SetNoCount: noCount_ = st.flag; break;
    case Kind::BeginTran:
      // Taking the write lock at once keeps two writers from deadlocking on an upgrade later.
      if (tranCount_ == 0) db_->exec("BEGIN IMMEDIATE");
      ++tranCount_;
      break;
    case Kind::CommitTran:
      if (tranCount_ == 0) throw SqlError(3902, 16, 1, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
      if (--tranCount_ == 0) db_->exec("COMMIT");
      break;
    case Kind::RollbackTran:
      if (tranCount_ == 0) throw SqlError(3903, 16, 1, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
      tranCount_ = 0;
      db_->exec("ROLLBACK");
      break;
    case Kind::Ignore:
    case Kind::If: break;
  }
  writeDone(w, inProcedure, 0, 0, 0);
}

bool Executor::condition(const std::string& sql) {
  StatementPtr s = db_->prepare(sql);
  bindAll(s.get());
  return step(db_->handle(), s.get()) == SQLITE_ROW && sqlite3_column_int(s.get(), 0) != 0;
}

bool Executor::runBatch(const std::string& sql, TokenWriter& w, bool inProcedure, const std::vector<RpcParameter>& parameters) {
  variables_.clear();
  bindings_.clear();
  for (const RpcParameter& p : parameters) {
    variables_.emplace_back(p.name, p.type);
    bindings_.push_back(p.value);
  }
  scopeIdentity_.reset();
  bool ok = true;
  std::vector<Token> tokens;
  try {
    tokens = tokenize(sql);
  } catch (const SqlError& e) {
    lastError_ = e.number();
    w.error(e);
    writeDone(w, inProcedure, kDoneError, 0, 0);
    return false;
  }
  // SQL Server compiles the whole batch first: a syntax error anywhere means nothing runs.
  try {
    Translator check(tokens, *this);
    check.checkOnly();
    while (check.next()) check.acceptElse();
  } catch (const SqlError& e) {
    lastError_ = e.number();
    w.error(e);
    writeDone(w, inProcedure, kDoneError, 0, 0);
    return false;
  } catch (const std::exception& e) {
    w.error(SqlError(102, 15, 1, std::string("Incorrect syntax: ") + e.what()));
    writeDone(w, inProcedure, kDoneError, 0, 0);
    return false;
  }
  Translator translator(tokens, *this);
  // Translation errors stop the batch, as compile errors do; errors while running end only their statement.
  struct Stop {};
  auto fail = [&](const SqlError& e) {
    lastError_ = e.number();
    w.error(e);
    writeDone(w, inProcedure, kDoneError, 0, 0);
  };
  auto translate = [&]() -> std::optional<TranslatedStatement> {
    try {
      return translator.next();
    } catch (const SqlError& e) {
      fail(e);
    } catch (const std::exception& e) {
      fail(SqlError(102, 15, 1, std::string("Incorrect syntax: ") + e.what()));
    }
    throw Stop{};
  };
  std::function<void(const TranslatedStatement&, bool)> run = [&](const TranslatedStatement& st, bool active) {
    if (st.kind == TranslatedStatement::Kind::If) {
      bool yes = false;
      if (active) {
        try {
          yes = condition(st.sql);
        } catch (const SqlError& e) {
          ok = false;
          fail(e);
          active = false;
        }
      }
      auto body = translate();
      if (!body) {
        fail(syntaxError("IF"));
        throw Stop{};
      }
      run(*body, active && yes);
      if (translator.acceptElse()) {
        auto other = translate();
        if (!other) {
          fail(syntaxError("ELSE"));
          throw Stop{};
        }
        run(*other, active && !yes);
      }
      return;
    }
    if (!active) return;
    try {
      lastError_ = 0;
      execute(st, w, inProcedure);
    } catch (const SqlError& e) {
      ok = false;
      fail(e);
    } catch (const std::exception& e) {
      ok = false;
      fail(SqlError(50000, 16, 1, e.what()));
    }
  };
  try {
    while (auto st = translate()) run(*st, true);
  } catch (const Stop&) {
    return false;
  }
  return ok;
}

}  // namespace standin
