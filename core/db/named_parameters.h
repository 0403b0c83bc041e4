// Turns SQL text with ":name" parameters into ODBC's positional "?" form.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dorvik::db {

struct PositionalSql {
  std::string sql;                 // ":name" replaced by "?"
  std::vector<std::string> names;  // parameter name of each "?", in order, as written
};

// A parameter is ":" followed by a letter or "_" and then letters, digits or
// "_", outside string literals, quoted or bracketed names and comments. "::"
// is left alone.
PositionalSql toPositional(std::string_view sql);

}  // namespace dorvik::db
