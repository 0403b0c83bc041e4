// A statement or query on a Connection: SQL text with typed named ":name" parameters, rows by index and by name.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/field_value.h"
#include "platform/local_time.h"

namespace dorvik::db {

class Connection;

// SQL types of parameters, for typed NULLs and explicit typing.
enum class SqlType { Int, BigInt, Bit, Float, NVarChar, DateTime };

class Statement {
 public:
  explicit Statement(Connection& connection);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Sets the SQL text. ":name" outside string literals, quoted names and
  // comments marks a parameter; the same name may occur several times.
  void setSql(std::string sql);

  // Parameter values, by name without the colon, case-insensitive.
  // Throws DatabaseError for a name the SQL text does not contain.
  void setInt(std::string_view name, std::int32_t value);
  void setBigInt(std::string_view name, std::int64_t value);
  void setBool(std::string_view name, bool value);
  void setDouble(std::string_view name, double value);
  void setText(std::string_view name, std::string_view utf8);
  void setDateTime(std::string_view name, const DateTime& value);
  void setNull(std::string_view name, SqlType type);

  // Runs the SQL text and reads all its results at once, so that the
  // connection is free for other statements while this one's rows are walked
  // (SQL Server serves one open result per connection). The statement is
  // positioned before the first row of the first result set; rowsAffected()
  // tells the count of the last statement without one.
  // Every parameter must have a value. Throws DatabaseError.
  void execute();
  // setSql + execute.
  void execute(std::string sql) {
    setSql(std::move(sql));
    execute();
  }

  // Moves to the next row of the current result set; false past the last one.
  bool next();
  // Moves to the next result set of a multi-statement batch; false if none.
  bool nextResult();
  // Rows changed by the last statement without a result set, -1 if unknown.
  std::int64_t rowsAffected() const { return rowsAffected_; }

  bool hasResultSet() const { return current_ < results_.size(); }
  std::size_t columnCount() const { return hasResultSet() ? results_[current_].columns.size() : 0; }
  const std::string& columnName(std::size_t index) const { return results_.at(current_).columns.at(index).name; }
  // Values of the current row (after next() returned true).
  const FieldValue& field(std::size_t index) const;
  // By column name, case-insensitive; throws DatabaseError naming the column if absent.
  const FieldValue& field(std::string_view name) const;

  // Frees the result; the SQL text and parameter values stay.
  void close() noexcept;

 private:
  struct Column {
    std::string name;
    short sqlType;
  };
  struct ResultSet {
    std::vector<Column> columns;
    std::vector<std::vector<FieldValue>> rows;
  };
  struct Parameter;

  void bindParameters(void* stmt);
  void readResults(void* stmt);
  std::vector<Column> describeColumns(void* stmt);
  FieldValue readColumn(void* stmt, const Column& column, std::size_t index);
  // The statement handle if the connection that made it is still the open one.
  void* liveHandle() noexcept;
  Parameter& parameter(std::string_view name);

  Connection& connection_;
  void* handle_ = nullptr;
  unsigned long handleGeneration_ = 0;
  std::string sql_;
  std::string odbcSql_;
  std::vector<std::string> parameterOrder_;
  std::vector<std::unique_ptr<Parameter>> parameters_;
  std::vector<ResultSet> results_;
  std::size_t current_ = 0;  // index into results_
  std::size_t row_ = 0;      // 1-based position in the current result; 0 before the first row
  std::int64_t rowsAffected_ = -1;
};

}  // namespace dorvik::db
