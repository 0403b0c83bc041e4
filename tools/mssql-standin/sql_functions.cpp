// The mssql_* SQLite functions: '+' on text or numbers, assignment and CAST conversions, date parts, text helpers.
#include "sql_functions.h"

#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sql_datetime.h"
#include "sql_type.h"
#include "text.h"

namespace standin {
namespace {

std::string textOf(sqlite3_value* v) {
  const auto* p = sqlite3_value_text(v);
  return p == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_value_bytes(v)));
}

void fail(sqlite3_context* ctx, int number, const std::string& message) {
  const std::string m = encodeFunctionError(number, message);
  sqlite3_result_error(ctx, m.c_str(), static_cast<int>(m.size()));
}

void resultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

std::string trimmed(std::string s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::optional<long long> parseInteger(const std::string& raw) {
  const std::string s = trimmed(raw);
  if (s.empty()) return 0;  // '' converts to 0 in SQL Server
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == s.c_str() || *end != '\0') return std::nullopt;
  return v;
}

std::optional<double> parseReal(const std::string& raw) {
  const std::string s = trimmed(raw);
  if (s.empty()) return 0.0;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end == s.c_str() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatReal(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// A date-time argument: numbers are days, text is parsed.
std::optional<double> daysOf(sqlite3_context* ctx, sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_value_double(v);
    case SQLITE_TEXT: {
      auto d = parseDateTime(textOf(v));
      if (!d) fail(ctx, 241, "Conversion failed when converting date and/or time from character string.");
      return d;
    }
    default: return std::nullopt;
  }
}

// Declarations are few (one per column type), so each thread keeps the parsed forms.
const SqlType& cachedType(sqlite3_value* declArg) {
  thread_local std::unordered_map<std::string, SqlType> parsed;
  const std::string decl = textOf(declArg);
  auto it = parsed.find(decl);
  if (it == parsed.end()) it = parsed.emplace(decl, SqlType::fromDeclaration(decl)).first;
  return it->second;
}

const char* sourceTypeName(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_TEXT ? "nvarchar" : "numeric"; }

// mssql_coerce(value, declaration, assign): converts a value to a column's type.
// On assignment a text longer than the column is an error; in CAST it is cut.
void coerceFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  const int vt = sqlite3_value_type(v);
  if (vt == SQLITE_NULL) return sqlite3_result_null(ctx);
  const SqlType& t = cachedType(argv[1]);
  const bool assign = sqlite3_value_int(argv[2]) != 0;
  const std::string name = t.displayName();
  switch (t.base) {
    case SqlType::Base::TinyInt:
    case SqlType::Base::SmallInt:
    case SqlType::Base::Int:
    case SqlType::Base::BigInt: {
      long long x = 0;
      if (vt == SQLITE_INTEGER) {
        x = sqlite3_value_int64(v);
      } else if (vt == SQLITE_FLOAT) {
        const double d = std::trunc(sqlite3_value_double(v));
        if (!(d >= -9.2e18 && d <= 9.2e18)) return fail(ctx, 8115, "Arithmetic overflow error converting expression to data type " + name + ".");
        x = static_cast<long long>(d);
      } else {
        const std::string s = textOf(v);
        auto p = parseInteger(s);
        if (!p) return fail(ctx, 245, "Conversion failed when converting the " + std::string(sourceTypeName(v)) + " value '" + s + "' to data type " + name + ".");
        x = *p;
      }
      long long lo = INT64_MIN, hi = INT64_MAX;
      if (t.base == SqlType::Base::TinyInt) lo = 0, hi = 255;
      if (t.base == SqlType::Base::SmallInt) lo = -32768, hi = 32767;
      if (t.base == SqlType::Base::Int) lo = INT32_MIN, hi = INT32_MAX;
      if (x < lo || x > hi) return fail(ctx, 8115, "Arithmetic overflow error converting expression to data type " + name + ".");
      return sqlite3_result_int64(ctx, x);
    }
    case SqlType::Base::Bit: {
      if (vt == SQLITE_TEXT) {
        const std::string s = lowerText(trimmed(textOf(v)));
        if (s == "true") return sqlite3_result_int(ctx, 1);
        if (s == "false") return sqlite3_result_int(ctx, 0);
        auto p = parseReal(s);
        if (!p) return fail(ctx, 245, "Conversion failed when converting the nvarchar value '" + textOf(v) + "' to data type bit.");
        return sqlite3_result_int(ctx, *p != 0 ? 1 : 0);
      }
      return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0 ? 1 : 0);
    }
    case SqlType::Base::Float:
    case SqlType::Base::Real:
    case SqlType::Base::Decimal: {
      double d = 0;
      if (vt == SQLITE_TEXT) {
        auto p = parseReal(textOf(v));
        if (!p) return fail(ctx, 8114, "Error converting data type nvarchar to " + std::string(t.base == SqlType::Base::Decimal ? "numeric" : "float") + ".");
        d = *p;
      } else {
        if (t.base == SqlType::Base::Decimal && vt == SQLITE_INTEGER && t.scale == 0) {
          const long long x = sqlite3_value_int64(v);
          if (t.precision < 19 && std::llabs(x) >= static_cast<long long>(std::pow(10.0, t.precision)))
            return fail(ctx, 8115, "Arithmetic overflow error converting int to data type numeric.");
          return sqlite3_result_int64(ctx, x);
        }
        d = sqlite3_value_double(v);
      }
      if (t.base == SqlType::Base::Real) d = static_cast<double>(static_cast<float>(d));
      if (t.base == SqlType::Base::Decimal) {
        const double scale = std::pow(10.0, t.scale);
        d = std::round(d * scale) / scale;
        if (std::fabs(d) >= std::pow(10.0, t.precision - t.scale))
          return fail(ctx, 8115, "Arithmetic overflow error converting numeric to data type numeric.");
        if (t.scale == 0 && std::fabs(d) < 9e18) return sqlite3_result_int64(ctx, static_cast<long long>(d));
      }
      return sqlite3_result_double(ctx, d);
    }
    case SqlType::Base::DateTime:
    case SqlType::Base::Date: {
      auto d = daysOf(ctx, v);
      if (!d) return;
      std::int32_t days = 0;
      std::uint32_t ticks = 0;
      toDaysAndTicks(*d, days, ticks);
      if (t.base == SqlType::Base::Date) return sqlite3_result_int64(ctx, days);
      return sqlite3_result_double(ctx, fromDaysAndTicks(days, ticks));
    }
    case SqlType::Base::NVarChar:
    case SqlType::Base::NChar:
    case SqlType::Base::VarChar:
    case SqlType::Base::Char: {
      std::string s = vt == SQLITE_FLOAT ? formatReal(sqlite3_value_double(v)) : textOf(v);
      if (t.length >= 0 && utf16Length(s) > static_cast<std::size_t>(t.length)) {
        if (assign) return fail(ctx, 8152, "String or binary data would be truncated.");
        s = utf16Prefix(s, static_cast<std::size_t>(t.length));
      }
      return resultText(ctx, s);
    }
    case SqlType::Base::Unknown: break;
  }
  fail(ctx, 2715, "Cannot find data type.");
}

// mssql_plus(a, b): text + text joins, anything else adds, converting text to a number.
void plusFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int at = sqlite3_value_type(argv[0]), bt = sqlite3_value_type(argv[1]);
  if (at == SQLITE_NULL || bt == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (at == SQLITE_TEXT && bt == SQLITE_TEXT) return resultText(ctx, textOf(argv[0]) + textOf(argv[1]));
  auto number = [&](sqlite3_value* v, bool& isInt, long long& i, double& d) -> bool {
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
      isInt = true;
      i = sqlite3_value_int64(v);
      d = static_cast<double>(i);
      return true;
    }
    if (sqlite3_value_type(v) == SQLITE_FLOAT) {
      isInt = false;
      d = sqlite3_value_double(v);
      return true;
    }
    const std::string s = textOf(v);
    if (auto p = parseInteger(s)) {
      isInt = true;
      i = *p;
      d = static_cast<double>(i);
      return true;
    }
    if (auto p = parseReal(s)) {
      isInt = false;
      d = *p;
      return true;
    }
    fail(ctx, 245, "Conversion failed when converting the nvarchar value '" + s + "' to data type int.");
    return false;
  };
  bool ai = false, bi = false;
  long long x = 0, y = 0;
  double dx = 0, dy = 0;
  if (!number(argv[0], ai, x, dx) || !number(argv[1], bi, y, dy)) return;
  if (ai && bi) {
    long long r = 0;
    if (__builtin_add_overflow(x, y, &r)) return fail(ctx, 8115, "Arithmetic overflow error converting expression to data type bigint.");
    return sqlite3_result_int64(ctx, r);
  }
  sqlite3_result_double(ctx, dx + dy);
}

void getdateFn(sqlite3_context* ctx, int, sqlite3_value**) {
  std::int32_t days = 0;
  std::uint32_t ticks = 0;
  toDaysAndTicks(ServerClock::now(), days, ticks);
  sqlite3_result_double(ctx, fromDaysAndTicks(days, ticks));
}

int weekday(std::int64_t days) {  // 1 = Sunday, as with SET DATEFIRST 7
  const std::int64_t w = (days + 1) % 7;  // 1900-01-01 was a Monday
  return static_cast<int>((w + 7) % 7) + 1;
}

std::optional<long long> datepartOf(const std::string& part, double value) {
  const CivilTime t = toCivil(value);
  const std::int64_t days = daysFromCivil(t.year, t.month, t.day);
  if (part == "year") return t.year;
  if (part == "quarter") return (t.month - 1) / 3 + 1;
  if (part == "month") return t.month;
  if (part == "dayofyear") return days - daysFromCivil(t.year, 1, 1) + 1;
  if (part == "day") return t.day;
  if (part == "week") {
    const std::int64_t jan1 = daysFromCivil(t.year, 1, 1);
    return (days - jan1 + weekday(jan1) - 1) / 7 + 1;
  }
  if (part == "weekday") return weekday(days);
  if (part == "hour") return t.hour;
  if (part == "minute") return t.minute;
  if (part == "second") return t.second;
  if (part == "millisecond") return t.millisecond;
  return std::nullopt;
}

void datepartFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  auto d = daysOf(ctx, argv[1]);
  if (!d) return;
  auto r = datepartOf(textOf(argv[0]), *d);
  if (!r) return fail(ctx, 155, "'" + textOf(argv[0]) + "' is not a recognized datepart option.");
  sqlite3_result_int64(ctx, *r);
}

void dateaddFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string part = textOf(argv[0]);
  const long long n = sqlite3_value_int64(argv[1]);
  auto d = daysOf(ctx, argv[2]);
  if (!d) return;
  double r = *d;
  if (part == "year" || part == "quarter" || part == "month") {
    CivilTime t = toCivil(*d);
    long long months = t.year * 12LL + (t.month - 1) + n * (part == "year" ? 12 : part == "quarter" ? 3 : 1);
    t.year = static_cast<int>(months / 12);
    t.month = static_cast<int>(months % 12) + 1;
    const int last = static_cast<int>(daysFromCivil(t.month == 12 ? t.year + 1 : t.year, t.month == 12 ? 1 : t.month + 1, 1) -
                                      daysFromCivil(t.year, t.month, 1));
    if (t.day > last) t.day = last;
    r = toDays(t);
  } else if (part == "day" || part == "dayofyear" || part == "weekday") {
    r += static_cast<double>(n);
  } else if (part == "week") {
    r += 7.0 * static_cast<double>(n);
  } else if (part == "hour") {
    r += static_cast<double>(n) / 24.0;
  } else if (part == "minute") {
    r += static_cast<double>(n) / 1440.0;
  } else if (part == "second") {
    r += static_cast<double>(n) / 86400.0;
  } else if (part == "millisecond") {
    r += static_cast<double>(n) / 86400000.0;
  } else {
    return fail(ctx, 155, "'" + part + "' is not a recognized dateadd option.");
  }
  std::int32_t days = 0;
  std::uint32_t ticks = 0;
  toDaysAndTicks(r, days, ticks);
  sqlite3_result_double(ctx, fromDaysAndTicks(days, ticks));
}

void datediffFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string part = textOf(argv[0]);
  auto a = daysOf(ctx, argv[1]);
  if (!a) return;
  auto b = daysOf(ctx, argv[2]);
  if (!b) return;
  const CivilTime ta = toCivil(*a), tb = toCivil(*b);
  const long long da = daysFromCivil(ta.year, ta.month, ta.day), db = daysFromCivil(tb.year, tb.month, tb.day);
  long long r = 0;
  if (part == "year") r = tb.year - ta.year;
  else if (part == "quarter") r = (tb.year * 4LL + (tb.month - 1) / 3) - (ta.year * 4LL + (ta.month - 1) / 3);
  else if (part == "month") r = (tb.year * 12LL + tb.month) - (ta.year * 12LL + ta.month);
  else if (part == "day" || part == "dayofyear") r = db - da;
  else if (part == "week") r = (db - weekday(db) + 1 - (da - weekday(da) + 1)) / 7;
  else if (part == "hour") r = (db * 24 + tb.hour) - (da * 24 + ta.hour);
  else if (part == "minute") r = (db * 1440 + tb.hour * 60 + tb.minute) - (da * 1440 + ta.hour * 60 + ta.minute);
  else if (part == "second") r = (db * 86400 + tb.hour * 3600 + tb.minute * 60 + tb.second) - (da * 86400 + ta.hour * 3600 + ta.minute * 60 + ta.second);
  else if (part == "millisecond") r = std::llround((*b - *a) * 86400000.0);
  else return fail(ctx, 155, "'" + part + "' is not a recognized datediff option.");
  sqlite3_result_int64(ctx, r);
}

std::string argText(sqlite3_value* v) {
  return sqlite3_value_type(v) == SQLITE_FLOAT ? formatReal(sqlite3_value_double(v)) : textOf(v);
}

void lenFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  std::string s = argText(argv[0]);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  sqlite3_result_int64(ctx, static_cast<long long>(utf16Length(s)));
}

void caseFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const bool upper = sqlite3_user_data(ctx) != nullptr;
  resultText(ctx, upper ? upperText(argText(argv[0])) : lowerText(argText(argv[0])));
}

// Characters as UTF-8 pieces, so positions count characters as T-SQL does.
std::vector<std::string> characters(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = 1;
    const auto b = static_cast<unsigned char>(s[i]);
    if (b >= 0xF0) n = 4;
    else if (b >= 0xE0) n = 3;
    else if (b >= 0xC0) n = 2;
    n = std::min(n, s.size() - i);
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

void leftRightFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const bool right = sqlite3_user_data(ctx) != nullptr;
  const long long n = sqlite3_value_int64(argv[1]);
  if (n < 0) return fail(ctx, 536, std::string("Invalid length parameter passed to the ") + (right ? "RIGHT" : "LEFT") + " function.");
  const auto chars = characters(argText(argv[0]));
  const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(n), chars.size());
  std::string out;
  for (std::size_t i = right ? chars.size() - take : 0, k = 0; k < take; ++i, ++k) out += chars[i];
  resultText(ctx, out);
}

void charindexFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const auto needle = characters(lowerText(argText(argv[0])));
  const auto hay = characters(lowerText(argText(argv[1])));
  long long start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
  if (start < 1) start = 1;
  if (needle.empty()) return sqlite3_result_int(ctx, 0);
  for (std::size_t i = static_cast<std::size_t>(start - 1); i + needle.size() <= hay.size(); ++i) {
    bool match = true;
    for (std::size_t k = 0; k < needle.size() && match; ++k) match = hay[i + k] == needle[k];
    if (match) return sqlite3_result_int64(ctx, static_cast<long long>(i + 1));
  }
  sqlite3_result_int(ctx, 0);
}

void concatFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  std::string out;
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) != SQLITE_NULL) out += argText(argv[i]);
  }
  resultText(ctx, out);
}

// mssql_div / mssql_mod: '/' and '%' with SQL Server's error on a zero divisor.
void divideFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int at = sqlite3_value_type(argv[0]), bt = sqlite3_value_type(argv[1]);
  if (at == SQLITE_NULL || bt == SQLITE_NULL) return sqlite3_result_null(ctx);
  const bool modulo = sqlite3_user_data(ctx) != nullptr;
  if (sqlite3_value_double(argv[1]) == 0.0) return fail(ctx, 8134, "Divide by zero error encountered.");
  if (sqlite3_value_numeric_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_numeric_type(argv[1]) == SQLITE_INTEGER) {
    const long long a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
    if (b == -1) return sqlite3_result_int64(ctx, modulo ? 0 : -a);
    return sqlite3_result_int64(ctx, modulo ? a % b : a / b);
  }
  const double a = sqlite3_value_double(argv[0]), b = sqlite3_value_double(argv[1]);
  sqlite3_result_double(ctx, modulo ? std::fmod(a, b) : a / b);
}

// mssql_datetext(days, dateOnly): the ISO text CONVERT gives a date-time.
void datetextFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  auto d = daysOf(ctx, argv[0]);
  if (!d) return;
  resultText(ctx, sqlite3_value_int(argv[1]) != 0 ? formatDate(*d) : formatDateTime(*d));
}

// mssql_replace(text, find, with): finds without regard to letter case, as the collation compares.
void replaceFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  }
  const auto text = characters(argText(argv[0]));
  const auto folded = characters(lowerText(argText(argv[0])));
  const auto find = characters(lowerText(argText(argv[1])));
  const std::string with = argText(argv[2]);
  if (find.empty() || folded.size() != text.size()) return resultText(ctx, argText(argv[0]));
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool match = i + find.size() <= text.size();
    for (std::size_t k = 0; match && k < find.size(); ++k) match = folded[i + k] == find[k];
    if (match) {
      out += with;
      i += find.size();
    } else {
      out += text[i++];
    }
  }
  resultText(ctx, out);
}

// T-SQL LIKE: % and _ wildcards, [abc], [a-z] and [^...] classes, an optional
// escape character; letters compare without regard to case, as the collation does.
bool likeMatch(const std::vector<std::string>& p, std::size_t pi, const std::vector<std::string>& v, std::size_t vi, const std::string& escape) {
  while (pi < p.size()) {
    const std::string& c = p[pi];
    if (!escape.empty() && c == escape && pi + 1 < p.size()) {
      if (vi >= v.size() || v[vi] != p[pi + 1]) return false;
      pi += 2;
      ++vi;
      continue;
    }
    if (c == "%") {
      while (pi < p.size() && p[pi] == "%") ++pi;
      if (pi == p.size()) return true;
      for (std::size_t k = vi; k <= v.size(); ++k) {
        if (likeMatch(p, pi, v, k, escape)) return true;
      }
      return false;
    }
    if (vi >= v.size()) return false;
    if (c == "_") {
      ++pi;
      ++vi;
      continue;
    }
    if (c == "[") {
      std::size_t close = pi + 1;
      while (close < p.size() && p[close] != "]") ++close;
      if (close < p.size()) {
        std::size_t k = pi + 1;
        const bool negate = k < close && p[k] == "^";
        if (negate) ++k;
        bool found = false;
        for (; k < close; ++k) {
          if (k + 2 < close && p[k + 1] == "-") {
            if (p[k] <= v[vi] && v[vi] <= p[k + 2]) found = true;
            k += 2;
          } else if (p[k] == v[vi]) {
            found = true;
          }
        }
        if (found == negate) return false;
        pi = close + 1;
        ++vi;
        continue;
      }
    }
    if (c != v[vi]) return false;
    ++pi;
    ++vi;
  }
  return vi == v.size();
}

// like(pattern, value[, escape]): SQLite calls this for "value LIKE pattern".
void likeFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string escape = argc > 2 ? lowerText(argText(argv[2])) : std::string();
  if (argc > 2 && characters(escape).size() != 1) return fail(ctx, 506, "The invalid escape character \"" + escape + "\" was specified in a LIKE predicate.");
  const auto pattern = characters(lowerText(argText(argv[0])));
  const auto value = characters(lowerText(argText(argv[1])));
  sqlite3_result_int(ctx, likeMatch(pattern, 0, value, 0, escape) ? 1 : 0);
}

int collate(void*, int an, const void* a, int bn, const void* b) {
  return collationCompare(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(an)),
                          std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(bn)));
}

}  // namespace

std::string encodeFunctionError(int number, const std::string& message) {
  return "#" + std::to_string(number) + "#" + message;
}

std::optional<EncodedError> decodeFunctionError(const std::string& m) {
  if (m.size() < 3 || m[0] != '#') return std::nullopt;
  const auto hash = m.find('#', 1);
  if (hash == std::string::npos) return std::nullopt;
  return EncodedError{std::atoi(m.substr(1, hash - 1).c_str()), m.substr(hash + 1)};
}

std::optional<std::string> normaliseDatepart(const std::string& raw) {
  const std::string n = lowerText(raw);
  static const std::pair<const char*, const char*> kParts[] = {
      {"year", "year"},     {"yy", "year"},         {"yyyy", "year"},      {"quarter", "quarter"}, {"qq", "quarter"},
      {"q", "quarter"},     {"month", "month"},     {"mm", "month"},       {"m", "month"},         {"dayofyear", "dayofyear"},
      {"dy", "dayofyear"},  {"y", "dayofyear"},     {"day", "day"},        {"dd", "day"},          {"d", "day"},
      {"week", "week"},     {"wk", "week"},         {"ww", "week"},        {"weekday", "weekday"}, {"dw", "weekday"},
      {"hour", "hour"},     {"hh", "hour"},         {"minute", "minute"},  {"mi", "minute"},       {"n", "minute"},
      {"second", "second"}, {"ss", "second"},       {"s", "second"},       {"millisecond", "millisecond"},
      {"ms", "millisecond"}};
  for (const auto& [alias, canonical] : kParts) {
    if (n == alias) return std::string(canonical);
  }
  return std::nullopt;
}

void registerSqlFunctions(sqlite3* db) {
  const int utf8 = SQLITE_UTF8;
  const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  static int upperTag = 1;
  sqlite3_create_collation(db, "MSSQL", SQLITE_UTF8, nullptr, collate);
  sqlite3_create_function(db, "mssql_coerce", 3, pure, nullptr, coerceFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_plus", 2, pure, nullptr, plusFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_getdate", 0, utf8, nullptr, getdateFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_datepart", 2, pure, nullptr, datepartFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_dateadd", 3, pure, nullptr, dateaddFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_datediff", 3, pure, nullptr, datediffFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_len", 1, pure, nullptr, lenFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_lower", 1, pure, nullptr, caseFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_upper", 1, pure, &upperTag, caseFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_left", 2, pure, nullptr, leftRightFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_right", 2, pure, &upperTag, leftRightFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_charindex", 2, pure, nullptr, charindexFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_charindex", 3, pure, nullptr, charindexFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_div", 2, pure, nullptr, divideFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_mod", 2, pure, &upperTag, divideFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_datetext", 2, pure, nullptr, datetextFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_replace", 3, pure, nullptr, replaceFn, nullptr, nullptr);
  sqlite3_create_function(db, "like", 2, pure, nullptr, likeFn, nullptr, nullptr);
  sqlite3_create_function(db, "like", 3, pure, nullptr, likeFn, nullptr, nullptr);
  sqlite3_create_function(db, "mssql_concat", -1, pure, nullptr, concatFn, nullptr, nullptr);
}

}  // namespace standin
