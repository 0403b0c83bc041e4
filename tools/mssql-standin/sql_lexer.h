// Splits T-SQL text into tokens: names, [quoted] names, 'strings', N'strings', numbers, @variables, operators.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct Token {
  enum class Kind { Word, QuotedName, String, Number, Variable, SystemVariable, Symbol, End };
  Kind kind = Kind::End;
  std::string text;       // name, string value (quotes removed), number, variable with '@', symbol
  bool national = false;  // N'...'
  // Case-insensitive test for a keyword or name.
  bool is(std::string_view word) const;
  bool isSymbol(std::string_view s) const { return kind == Kind::Symbol && text == s; }
};

// Throws SqlError 105 for an unclosed quotation mark, 113 for an unclosed comment.
std::vector<Token> tokenize(std::string_view sql);

}  // namespace standin
