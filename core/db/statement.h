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

  // Runs the SQL text. When it yields a result set, the statement is
  // positioned before its first row; otherwise rowsAffected() tells the count.
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

  bool hasResultSet() const { return !columns_.empty(); }
  std::size_t columnCount() const { return columns_.size(); }
  const std::string& columnName(std::size_t index) const { return columns_.at(index).name; }
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
  struct Parameter;

  void describeColumns();
  FieldValue readColumn(std::size_t index);
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
  std::vector<Column> columns_;
  std::vector<FieldValue> row_;
  bool onRow_ = false;
  std::int64_t rowsAffected_ = -1;
};

}  // namespace dorvik::db
