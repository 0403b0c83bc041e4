// Type names and declarations.
#include "sql_type.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace standin {
namespace {

struct Name {
  const char* name;
  SqlType::Base base;
};
constexpr Name kNames[] = {
    {"tinyint", SqlType::Base::TinyInt},   {"smallint", SqlType::Base::SmallInt}, {"int", SqlType::Base::Int},
    {"integer", SqlType::Base::Int},       {"bigint", SqlType::Base::BigInt},     {"bit", SqlType::Base::Bit},
    {"float", SqlType::Base::Float},       {"real", SqlType::Base::Real},         {"decimal", SqlType::Base::Decimal},
    {"numeric", SqlType::Base::Decimal},   {"datetime", SqlType::Base::DateTime}, {"date", SqlType::Base::Date},
    {"nvarchar", SqlType::Base::NVarChar}, {"nchar", SqlType::Base::NChar},       {"varchar", SqlType::Base::VarChar},
    {"char", SqlType::Base::Char},
};

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

const char* baseName(SqlType::Base b) {
  for (const Name& n : kNames) {
    if (n.base == b) return n.name;
  }
  return "sql_variant";
}

}  // namespace

std::optional<SqlType::Base> SqlType::baseFromName(std::string_view name) {
  const std::string l = lower(name);
  for (const Name& n : kNames) {
    if (l == n.name) return n.base;
  }
  return std::nullopt;
}

std::string SqlType::declaration() const {
  std::string out = baseName(base);
  if (isText()) out += "(" + std::to_string(length) + ")";
  if (base == Base::Decimal) out += "(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
  return out;
}

std::string SqlType::displayName() const {
  std::string out = baseName(base);
  if (isText()) out += length < 0 ? "(max)" : "(" + std::to_string(length) + ")";
  if (base == Base::Decimal) out += "(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
  return out;
}

SqlType SqlType::fromDeclaration(std::string_view decl) {
  const std::string l = lower(decl);
  const std::size_t paren = l.find('(');
  std::string name = l.substr(0, paren);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const auto b = baseFromName(name);
  if (!b) return SqlType{};
  SqlType t = of(*b);
  if (paren != std::string::npos) {
    const char* p = l.c_str() + paren + 1;
    char* end = nullptr;
    const long first = std::strtol(p, &end, 10);
    if (t.isText()) t.length = static_cast<int>(first);
    if (t.base == Base::Decimal) {
      t.precision = static_cast<int>(first);
      if (end != nullptr && *end == ',') t.scale = static_cast<int>(std::strtol(end + 1, nullptr, 10));
    }
  } else if (t.isText()) {
    t.length = 1;
  }
  return t;
}

}  // namespace standin
