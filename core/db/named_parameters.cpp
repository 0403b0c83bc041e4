// toPositional: a small scanner over T-SQL text.
#include "core/db/named_parameters.h"

#include <cctype>

namespace dorvik::db {
namespace {

bool nameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool namePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

PositionalSql toPositional(std::string_view sql) {
  PositionalSql out;
  out.sql.reserve(sql.size());
  std::size_t i = 0;
  // Copies up to and including `close`, or to the end when it never comes.
  auto copyThrough = [&](std::string_view close) {
    const std::size_t end = sql.find(close, i);
    const std::size_t stop = end == std::string_view::npos ? sql.size() : end + close.size();
    out.sql.append(sql.substr(i, stop - i));
    i = stop;
  };
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'' || c == '"' || c == '[') {
      // Quotes are escaped by doubling, which the scan handles as two adjacent literals.
      const char close = c == '[' ? ']' : c;
      out.sql.push_back(c);
      ++i;
      copyThrough(std::string_view(&close, 1));
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      copyThrough("\n");
    } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      out.sql.append("/*");
      i += 2;
      copyThrough("*/");
    } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
      out.sql.append("::");
      i += 2;
    } else if (c == ':' && i + 1 < sql.size() && nameStart(sql[i + 1])) {
      std::size_t end = i + 1;
      while (end < sql.size() && namePart(sql[end])) ++end;
      out.names.emplace_back(sql.substr(i + 1, end - i - 1));
      out.sql.push_back('?');
      i = end;
    } else {
      out.sql.push_back(c);
      ++i;
    }
  }
  return out;
}

}  // namespace dorvik::db
