// FieldValue conversions.
#include "core/db/field_value.h"

#include <charconv>
#include <cmath>

#include "core/datetime_text.h"
#include "core/db/odbc_error.h"

namespace dorvik::db {
namespace {

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;

// Independent of the locale: the driver always writes ".".
double parseDouble(const std::string& text) {
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) {
    throw DatabaseError("'" + text + "' is not a valid floating point value");
  }
  return v;
}

// Numbers come from the driver with ".", the user reads them with the regional separator.
std::string withRegionalSeparator(std::string number) {
  const char separator = platform::decimalSeparator();
  for (char& c : number) {
    if (c == '.') c = separator;
  }
  return number;
}

}  // namespace

std::string FieldValue::asText() const {
  return std::visit(Overload{
                        [](std::monostate) { return std::string(); },
                        [](std::int64_t v) { return std::to_string(v); },
                        [](double v) {
                          char buffer[64];
                          const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
                          return withRegionalSeparator(std::string(buffer, r.ptr));
                        },
                        [](bool v) { return std::string(v ? "True" : "False"); },
                        [](const DateTime& v) { return datumcas(v); },
                        [](const DecimalText& v) { return withRegionalSeparator(v.digits); },
                        [](const std::string& v) { return v; },
                    },
                    value_);
}

std::int64_t FieldValue::asInt() const {
  return std::visit(Overload{
                        [](std::monostate) -> std::int64_t { return 0; },
                        [](std::int64_t v) { return v; },
                        [](double v) { return static_cast<std::int64_t>(std::llround(v)); },
                        [](bool v) -> std::int64_t { return v ? 1 : 0; },
                        [](const DateTime&) -> std::int64_t { throw DatabaseError("A date-time is not an integer"); },
                        [](const DecimalText& v) { return static_cast<std::int64_t>(std::llround(parseDouble(v.digits))); },
                        [](const std::string& v) {
                          std::int64_t out = 0;
                          const auto r = std::from_chars(v.data(), v.data() + v.size(), out);
                          if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size()) {
                            throw DatabaseError("'" + v + "' is not a valid integer value");
                          }
                          return out;
                        },
                    },
                    value_);
}

bool FieldValue::asBool() const {
  if (const bool* b = std::get_if<bool>(&value_)) return *b;
  if (const std::string* s = std::get_if<std::string>(&value_)) {
    if (*s == "True" || *s == "true") return true;
    if (*s == "False" || *s == "false") return false;
  }
  return asInt() != 0;
}

DateTime FieldValue::asDateTime() const {
  if (const DateTime* t = std::get_if<DateTime>(&value_)) return *t;
  if (isNull()) return DateTime{};
  throw DatabaseError("'" + asText() + "' is not a valid date and time");
}

double FieldValue::asDouble() const {
  if (const double* d = std::get_if<double>(&value_)) return *d;
  if (const DecimalText* d = std::get_if<DecimalText>(&value_)) return parseDouble(d->digits);
  if (const std::string* s = std::get_if<std::string>(&value_)) return parseDouble(*s);
  return static_cast<double>(asInt());
}

}  // namespace dorvik::db
