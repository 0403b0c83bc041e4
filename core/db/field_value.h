// One value of a result row: NULL or a typed value, with the text conversion reports and templates use.
#pragma once
#include <cstdint>
#include <string>
#include <variant>

#include "platform/local_time.h"

namespace dorvik::db {

// Exact numerics (decimal, numeric, money) are kept as their decimal text so
// that no digit is lost.
struct DecimalText {
  std::string digits;
  bool operator==(const DecimalText&) const = default;
};

class FieldValue {
 public:
  using Storage = std::variant<std::monostate, std::int64_t, double, bool, DateTime, DecimalText, std::string>;

  FieldValue() = default;
  explicit FieldValue(Storage v) : value_(std::move(v)) {}

  bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
  const Storage& storage() const { return value_; }

  // Text of the value: NULL is empty, integers in decimal digits, decimals
  // with all their digits and floats in the shortest form that reads back the
  // same, both with the regional decimal separator; bits as "True"/"False",
  // date-times in the regional short date and long time (the time left out at
  // midnight), text unchanged.
  std::string asText() const;
  // Integer value; text is converted, NULL is 0. Throws DatabaseError when not convertible.
  std::int64_t asInt() const;
  bool asBool() const;
  DateTime asDateTime() const;
  double asDouble() const;

 private:
  Storage value_;
};

}  // namespace dorvik::db
