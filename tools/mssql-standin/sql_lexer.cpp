// The T-SQL tokenizer.
#include "sql_lexer.h"

#include <cctype>

#include "sql_error.h"

namespace standin {
namespace {

bool wordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '#' || static_cast<unsigned char>(c) >= 0x80; }
bool wordChar(char c) { return wordStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$' || c == '@'; }

}  // namespace

bool Token::is(std::string_view word) const {
  if (kind != Kind::Word || text.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(word[i]))) return false;
  }
  return true;
}

std::vector<Token> tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const char c = s[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      int depth = 0;
      do {
        if (i + 1 < n && s[i] == '/' && s[i + 1] == '*') {
          ++depth;
          i += 2;
        } else if (i + 1 < n && s[i] == '*' && s[i + 1] == '/') {
          --depth;
          i += 2;
        } else if (i < n) {
          ++i;
        }
        if (i >= n && depth > 0) throw SqlError(113, 15, 1, "Missing end comment mark '*/'.");
      } while (depth > 0);
      continue;
    }
    Token t;
    if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'')) {
      t.kind = Token::Kind::String;
      t.national = c != '\'';
      i += t.national ? 2 : 1;
      for (;;) {
        if (i >= n) throw SqlError(105, 15, 1, "Unclosed quotation mark after the character string '" + t.text + "'.");
        if (s[i] == '\'') {
          if (i + 1 < n && s[i + 1] == '\'') {
            t.text += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        t.text += s[i++];
      }
    } else if (c == '[' || c == '"') {
      const char close = c == '[' ? ']' : '"';
      t.kind = Token::Kind::QuotedName;
      ++i;
      for (;;) {
        if (i >= n) throw SqlError(105, 15, 1, "Unclosed quotation mark after the character string '" + t.text + "'.");
        if (s[i] == close) {
          if (i + 1 < n && s[i + 1] == close) {
            t.text += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        t.text += s[i++];
      }
    } else if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      t.kind = Token::Kind::Number;
      while (i < n && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) t.text += s[i++];
      if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) {
          t.text += s.substr(i, j - i);
          i = j;
          while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) t.text += s[i++];
        }
      }
    } else if (c == '@') {
      t.kind = i + 1 < n && s[i + 1] == '@' ? Token::Kind::SystemVariable : Token::Kind::Variable;
      t.text = t.kind == Token::Kind::SystemVariable ? "@@" : "@";
      i += t.text.size();
      while (i < n && wordChar(s[i])) t.text += s[i++];
    } else if (wordStart(c)) {
      t.kind = Token::Kind::Word;
      while (i < n && wordChar(s[i])) t.text += s[i++];
    } else {
      t.kind = Token::Kind::Symbol;
      static const char* const kTwo[] = {"<>", "!=", "<=", ">=", "!<", "!>", "+=", "-=", "*=", "/=", "::"};
      t.text = std::string(1, c);
      for (const char* two : kTwo) {
        if (i + 1 < n && s[i] == two[0] && s[i + 1] == two[1]) t.text = two;
      }
      i += t.text.size();
    }
    out.push_back(std::move(t));
  }
  out.push_back(Token{});
  return out;
}

}  // namespace standin
