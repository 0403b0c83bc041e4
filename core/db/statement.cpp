// Statement: parameter binding, execution, result sets and reading columns by their SQL type.
#include "core/db/statement.h"

#include <algorithm>
#include <cctype>

#include "core/db/connection.h"
#include "core/db/named_parameters.h"
#include "core/db/odbc_call.h"

namespace dorvik::db {
namespace {

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Above this many characters a text goes as nvarchar(max).
constexpr std::size_t kLongTextUnits = 4000;

}  // namespace

// One named parameter's value, kept at a fixed address while it is bound.
struct Statement::Parameter {
  std::string name;
  bool hasValue = false;
  SqlType type = SqlType::NVarChar;
  bool isNull = false;
  SQLINTEGER int32 = 0;
  SQLBIGINT int64 = 0;
  unsigned char bit = 0;
  double real = 0;
  std::u16string text;
  SQL_TIMESTAMP_STRUCT timestamp{};
  SQLLEN indicator = 0;
};

Statement::Statement(Connection& connection) : connection_(connection) {}

Statement::~Statement() {
  if (void* h = liveHandle()) SQLFreeHandle(SQL_HANDLE_STMT, static_cast<SQLHSTMT>(h));
}

void* Statement::liveHandle() noexcept {
  if (handle_ != nullptr && (handleGeneration_ != connection_.generation() || !connection_.isOpen())) {
    handle_ = nullptr;  // freed when its connection closed
  }
  return handle_;
}

void Statement::setSql(std::string sql) {
  close();
  PositionalSql positional = toPositional(sql);
  sql_ = std::move(sql);
  odbcSql_ = std::move(positional.sql);
  parameterOrder_ = std::move(positional.names);
  parameters_.clear();
  for (const std::string& name : parameterOrder_) {
    const bool known = std::any_of(parameters_.begin(), parameters_.end(),
                                   [&](const auto& p) { return sameName(p->name, name); });
    if (!known) {
      parameters_.push_back(std::make_unique<Parameter>());
      parameters_.back()->name = name;
    }
  }
}

Statement::Parameter& Statement::parameter(std::string_view name) {
  for (auto& p : parameters_) {
    if (sameName(p->name, name)) {
      p->hasValue = true;
      p->isNull = false;
      return *p;
    }
  }
  throw DatabaseError("Parameter '" + std::string(name) + "' not found");
}

void Statement::setInt(std::string_view name, std::int32_t value) {
  Parameter& p = parameter(name);
  p.type = SqlType::Int;
  p.int32 = value;
}

void Statement::setBigInt(std::string_view name, std::int64_t value) {
  Parameter& p = parameter(name);
  p.type = SqlType::BigInt;
  p.int64 = value;
}

void Statement::setBool(std::string_view name, bool value) {
  Parameter& p = parameter(name);
  p.type = SqlType::Bit;
  p.bit = value ? 1 : 0;
}

void Statement::setDouble(std::string_view name, double value) {
  Parameter& p = parameter(name);
  p.type = SqlType::Float;
  p.real = value;
}

void Statement::setText(std::string_view name, std::string_view utf8) {
  Parameter& p = parameter(name);
  p.type = SqlType::NVarChar;
  p.text = odbc::wide(utf8);
}

void Statement::setDateTime(std::string_view name, const DateTime& value) {
  Parameter& p = parameter(name);
  p.type = SqlType::DateTime;
  p.timestamp = SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(value.year), static_cast<SQLUSMALLINT>(value.month),
                                     static_cast<SQLUSMALLINT>(value.day), static_cast<SQLUSMALLINT>(value.hour),
                                     static_cast<SQLUSMALLINT>(value.minute), static_cast<SQLUSMALLINT>(value.second),
                                     static_cast<SQLUINTEGER>(value.millisecond) * 1000000u};
}

void Statement::setNull(std::string_view name, SqlType type) {
  Parameter& p = parameter(name);
  p.type = type;
  p.isNull = true;
}

void Statement::execute() {
  close();
  auto* dbc = static_cast<SQLHDBC>(connection_.nativeHandle());
  if (liveHandle() == nullptr) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    odbc::check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_HANDLE_DBC, dbc, "Allocating a statement");
    handle_ = stmt;
    handleGeneration_ = connection_.generation();
  }
  auto* stmt = static_cast<SQLHSTMT>(handle_);
  SQLFreeStmt(stmt, SQL_RESET_PARAMS);
  bindParameters(stmt);

  std::u16string text = odbc::wide(odbcSql_);
  const SQLRETURN rc =
      SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
  try {
    if (rc != SQL_NO_DATA) odbc::check(rc, SQL_HANDLE_STMT, stmt, "Executing the statement");
    readResults(stmt);
  } catch (...) {
    SQLFreeStmt(stmt, SQL_CLOSE);
    results_.clear();
    throw;
  }
  SQLFreeStmt(stmt, SQL_CLOSE);
}

void Statement::bindParameters(void* handle) {
  auto* stmt = static_cast<SQLHSTMT>(handle);
  SQLUSMALLINT position = 0;
  for (const std::string& name : parameterOrder_) {
    auto it = std::find_if(parameters_.begin(), parameters_.end(), [&](const auto& p) { return sameName(p->name, name); });
    Parameter& p = **it;
    if (!p.hasValue) throw DatabaseError("No value for parameter '" + p.name + "'");
    SQLSMALLINT cType = SQL_C_WCHAR, sqlType = SQL_WVARCHAR, digits = 0;
    SQLULEN size = 0;
    SQLPOINTER buffer = nullptr;
    SQLLEN bufferLength = 0;
    switch (p.type) {
      case SqlType::Int: cType = SQL_C_SLONG, sqlType = SQL_INTEGER, buffer = &p.int32; break;
      case SqlType::BigInt: cType = SQL_C_SBIGINT, sqlType = SQL_BIGINT, buffer = &p.int64; break;
      case SqlType::Bit: cType = SQL_C_BIT, sqlType = SQL_BIT, size = 1, buffer = &p.bit; break;
      case SqlType::Float: cType = SQL_C_DOUBLE, sqlType = SQL_DOUBLE, size = 15, buffer = &p.real; break;
      case SqlType::DateTime:
        cType = SQL_C_TYPE_TIMESTAMP, sqlType = SQL_TYPE_TIMESTAMP, size = 23, digits = 3, buffer = &p.timestamp;
        break;
      case SqlType::NVarChar:
        sqlType = p.text.size() > kLongTextUnits ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        size = std::max<SQLULEN>(1, p.text.size());
        buffer = p.text.data();
        bufferLength = static_cast<SQLLEN>(p.text.size() * sizeof(SQLWCHAR));
        break;
    }
    p.indicator = p.isNull ? SQL_NULL_DATA : (p.type == SqlType::NVarChar ? bufferLength : 0);
    odbc::check(SQLBindParameter(stmt, ++position, SQL_PARAM_INPUT, cType, sqlType, size, digits, buffer, bufferLength,
                                 &p.indicator),
                SQL_HANDLE_STMT, stmt, "Binding parameter '" + p.name + "'");
  }
}

void Statement::readResults(void* handle) {
  auto* stmt = static_cast<SQLHSTMT>(handle);
  for (;;) {
    ResultSet result;
    result.columns = describeColumns(stmt);
    if (result.columns.empty()) {
      SQLLEN count = -1;
      SQLRowCount(stmt, &count);
      rowsAffected_ = count;
    } else {
      for (;;) {
        const SQLRETURN fetched = SQLFetch(stmt);
        if (fetched == SQL_NO_DATA) break;
        odbc::check(fetched, SQL_HANDLE_STMT, stmt, "Fetching a row");
        std::vector<FieldValue> row;
        row.reserve(result.columns.size());
        for (std::size_t i = 0; i < result.columns.size(); ++i) row.push_back(readColumn(stmt, result.columns[i], i));
        result.rows.push_back(std::move(row));
      }
      results_.push_back(std::move(result));
    }
    const SQLRETURN more = SQLMoreResults(stmt);
    if (more == SQL_NO_DATA) return;
    odbc::check(more, SQL_HANDLE_STMT, stmt, "Executing the statement");
  }
}

std::vector<Statement::Column> Statement::describeColumns(void* handle) {
  auto* stmt = static_cast<SQLHSTMT>(handle);
  std::vector<Column> columns;
  SQLSMALLINT count = 0;
  odbc::check(SQLNumResultCols(stmt, &count), SQL_HANDLE_STMT, stmt, "Reading the result");
  for (SQLUSMALLINT i = 1; i <= count; ++i) {
    SQLWCHAR name[256] = {};
    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    odbc::check(SQLDescribeColW(stmt, i, name, static_cast<SQLSMALLINT>(std::size(name)), &nameLength, &type, &size,
                                &digits, &nullable),
                SQL_HANDLE_STMT, stmt, "Reading the result columns");
    const auto used = std::min<std::size_t>(static_cast<std::size_t>(nameLength), std::size(name) - 1);
    columns.push_back(Column{odbc::narrow(name, used), type});
  }
  return columns;
}

bool Statement::next() {
  if (!hasResultSet()) return false;
  if (row_ <= results_[current_].rows.size()) ++row_;
  return row_ <= results_[current_].rows.size();
}

bool Statement::nextResult() {
  if (!hasResultSet()) return false;
  ++current_;
  row_ = 0;
  return hasResultSet();
}

FieldValue Statement::readColumn(void* handle, const Column& described, std::size_t index) {
  auto* stmt = static_cast<SQLHSTMT>(handle);
  const auto column = static_cast<SQLUSMALLINT>(index + 1);
  SQLLEN indicator = 0;
  auto get = [&](SQLSMALLINT cType, SQLPOINTER target, SQLLEN size) {
    odbc::check(SQLGetData(stmt, column, cType, target, size, &indicator), SQL_HANDLE_STMT, stmt,
                "Reading column '" + described.name + "'");
    return indicator != SQL_NULL_DATA;
  };
  switch (described.sqlType) {
    case SQL_BIT: {
      unsigned char v = 0;
      return get(SQL_C_BIT, &v, 0) ? FieldValue(v != 0) : FieldValue();
    }
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: {
      SQLBIGINT v = 0;
      return get(SQL_C_SBIGINT, &v, 0) ? FieldValue(std::int64_t{v}) : FieldValue();
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
      double v = 0;
      return get(SQL_C_DOUBLE, &v, 0) ? FieldValue(v) : FieldValue();
    }
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
      char v[80] = {};
      return get(SQL_C_CHAR, v, sizeof v) ? FieldValue(DecimalText{v}) : FieldValue();
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME: {
      SQL_TIMESTAMP_STRUCT v{};
      if (!get(SQL_C_TYPE_TIMESTAMP, &v, 0)) return FieldValue();
      return FieldValue(DateTime{v.year, v.month, v.day, v.hour, v.minute, v.second,
                                 static_cast<int>(v.fraction / 1000000u)});
    }
    default: {
      // Text, and everything else in its text form, read in pieces of any length.
      std::u16string text;
      SQLWCHAR piece[4096];
      for (;;) {
        const SQLRETURN rc = SQLGetData(stmt, column, SQL_C_WCHAR, piece, sizeof piece, &indicator);
        if (rc == SQL_NO_DATA) break;
        odbc::check(rc, SQL_HANDLE_STMT, stmt, "Reading column '" + described.name + "'");
        if (indicator == SQL_NULL_DATA) return FieldValue();
        const std::size_t capacity = std::size(piece) - 1;
        const bool whole = indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) <= capacity;
        const std::size_t units = whole ? static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) : capacity;
        text.append(reinterpret_cast<const char16_t*>(piece), units);
        if (whole) break;
      }
      return FieldValue(odbc::narrow(reinterpret_cast<const SQLWCHAR*>(text.data()), text.size()));
    }
  }
}

const FieldValue& Statement::field(std::size_t index) const {
  if (!hasResultSet() || row_ == 0 || row_ > results_[current_].rows.size()) throw DatabaseError("No current row");
  const auto& row = results_[current_].rows[row_ - 1];
  if (index >= row.size()) throw DatabaseError("Column index " + std::to_string(index) + " out of range");
  return row[index];
}

const FieldValue& Statement::field(std::string_view name) const {
  if (hasResultSet()) {
    const auto& columns = results_[current_].columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (sameName(columns[i].name, name)) return field(i);
    }
  }
  throw DatabaseError("Field '" + std::string(name) + "' not found");
}

void Statement::close() noexcept {
  results_.clear();
  current_ = 0;
  row_ = 0;
  rowsAffected_ = -1;
}

}  // namespace dorvik::db
