// Column and value types the server knows, and their declared-type text in the SQLite schema.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace standin {

struct SqlType {
  enum class Base { Unknown, TinyInt, SmallInt, Int, BigInt, Bit, Float, Real, Decimal, DateTime, Date, NVarChar, NChar, VarChar, Char };
  Base base = Base::Unknown;
  int length = 0;  // characters of (n)(var)char; -1 for max
  int precision = 18;
  int scale = 0;

  static SqlType of(Base b) { return SqlType{b, 0, 18, 0}; }
  static SqlType text(Base b, int length) { return SqlType{b, length, 18, 0}; }
  static SqlType decimal(int precision, int scale) { return SqlType{Base::Decimal, 0, precision, scale}; }

  bool known() const { return base != Base::Unknown; }
  bool isText() const { return base == Base::NVarChar || base == Base::NChar || base == Base::VarChar || base == Base::Char; }
  bool isUnicode() const { return base == Base::NVarChar || base == Base::NChar; }
  bool isInteger() const { return base == Base::TinyInt || base == Base::SmallInt || base == Base::Int || base == Base::BigInt; }
  bool isDateLike() const { return base == Base::DateTime || base == Base::Date; }
  bool isNumeric() const { return isInteger() || base == Base::Bit || base == Base::Float || base == Base::Real || base == Base::Decimal; }

  // The declared type written into the SQLite schema, e.g. "nvarchar(4000)", "nvarchar(-1)" for max.
  std::string declaration() const;
  // SQL Server's spelling, e.g. "nvarchar(max)", for messages.
  std::string displayName() const;
  // Reads a declaration back; Unknown for anything else.
  static SqlType fromDeclaration(std::string_view decl);
  // Looks up a T-SQL type name (without its length); nullopt when the server does not know it.
  static std::optional<Base> baseFromName(std::string_view name);
};

}  // namespace standin
