// A result set as the executor hands it to the token writer: typed columns and rows of SQLite values.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sql_translator.h"

namespace standin {

struct Cell {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;  // UTF-8 text or blob bytes
};

struct ResultSet {
  std::vector<ResultColumn> columns;  // every type known
  std::vector<std::vector<Cell>> rows;
};

}  // namespace standin
