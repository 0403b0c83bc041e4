// T-SQL to SQLite: a recursive-descent reader of the statements the server supports, emitting SQLite text.
#include "sql_translator.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

#include "sql_error.h"
#include "sql_functions.h"
#include "text.h"

namespace standin {

std::string quoteName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string quoteText(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

namespace {

using Base = SqlType::Base;

// One translated expression with what is known of its type.
struct Expr {
  Expr() = default;
  Expr(std::string s, SqlType t) : sql(std::move(s)), type(t) {}
  std::string sql;
  SqlType type;
  bool isColumn = false;
  std::string column;  // name of a plain column reference
  bool isStringLiteral = false;
};

struct ScopeTable {
  std::string alias;  // how the statement names it
  std::vector<ColumnInfo> columns;
};


const char* const kStatementStarts[] = {"select", "insert", "update", "delete", "create", "drop", "use", "set", "backup",
                                        "begin", "commit", "rollback", "declare", "exec", "execute", "if", "print", "alter",
                                        "truncate", "with", "while", "return", "go"};

// Words that end a select item list, a table source or an expression.
const char* const kClauseWords[] = {"from", "where", "group", "having", "order", "union", "except", "intersect", "on",
                                    "join", "inner", "left", "right", "cross", "full", "outer", "as", "values", "output",
                                    "set", "into", "when", "then", "else", "end", "and", "or", "not", "is", "in", "like",
                                    "between", "asc", "desc", "option", "for", "collate", "escape", "default"};

}  // namespace

struct Translator::Impl {
  const std::vector<Token>& toks;
  SchemaView& schema;
  std::size_t pos = 0;
  std::vector<std::vector<ScopeTable>> scopes;  // innermost last
  bool inDefinition = false;                    // views and defaults: getdate() stays a call
  // A syntax check of the whole batch before it runs: names of objects made by
  // earlier statements of the batch cannot be resolved yet, so their errors wait.
  bool dryRun = false;
  void unresolved(const SqlError& e) const {
    if (!dryRun) throw e;
  }
  std::string getdateLiteral;

  Impl(const std::vector<Token>& t, SchemaView& s) : toks(t), schema(s) {}

  // ---- token helpers ----
  const Token& peek(std::size_t ahead = 0) const { return toks[std::min(pos + ahead, toks.size() - 1)]; }
  bool atEnd() const { return peek().kind == Token::Kind::End; }
  const Token& take() {
    const Token& t = peek();
    if (pos < toks.size() - 1) ++pos;
    return t;
  }
  [[noreturn]] void syntax() const {
    const Token& t = peek();
    if (t.kind == Token::Kind::End) {
      const Token& last = pos > 0 ? toks[pos - 1] : t;
      throw syntaxError(last.text);
    }
    throw syntaxError(t.kind == Token::Kind::String ? t.text : t.text);
  }
  bool acceptWord(std::string_view w) {
    if (peek().is(w)) {
      take();
      return true;
    }
    return false;
  }
  void expectWord(std::string_view w) {
    if (!acceptWord(w)) syntax();
  }
  bool acceptSymbol(std::string_view s) {
    if (peek().isSymbol(s)) {
      take();
      return true;
    }
    return false;
  }
  void expectSymbol(std::string_view s) {
    if (!acceptSymbol(s)) syntax();
  }
  static bool isClauseWord(const Token& t) {
    if (t.kind != Token::Kind::Word) return false;
    for (const char* w : kClauseWords) {
      if (t.is(w)) return true;
    }
    for (const char* w : kStatementStarts) {
      if (t.is(w)) return true;
    }
    return false;
  }
  bool isName(const Token& t) const {
    return t.kind == Token::Kind::QuotedName || (t.kind == Token::Kind::Word && !isClauseWord(t));
  }
  std::string name() {
    if (!isName(peek())) syntax();
    return take().text;
  }
  std::string getdate() {
    if (inDefinition) return "mssql_getdate()";
    // getdate() is evaluated once per statement, as in SQL Server.
    if (getdateLiteral.empty()) {
      auto v = schema.systemValue("getdate()");
      getdateLiteral = v ? v->first : "mssql_getdate()";
    }
    return getdateLiteral;
  }

  // ---- names ----
  // A possibly qualified object name: [db.][schema.]name; returns the SQLite table name.
  struct ObjectName {
    std::vector<std::string> parts;
    std::string display;  // as written, for messages
  };
  ObjectName objectName() {
    ObjectName n;
    n.parts.push_back(name());
    while (peek().isSymbol(".")) {
      take();
      if (peek().isSymbol(".")) {  // db..table
        n.parts.push_back("dbo");
        continue;
      }
      n.parts.push_back(name());
    }
    for (std::size_t i = 0; i < n.parts.size(); ++i) n.display += (i ? "." : "") + n.parts[i];
    if (n.parts.size() > 3) syntax();
    return n;
  }
  std::string schemaOf(const ObjectName& n) const { return n.parts.size() >= 2 ? n.parts[n.parts.size() - 2] : "dbo"; }
  // SQLite table name for a user object; throws 208 for another database.
  std::string tableName(const ObjectName& n) {
    if (n.parts.size() == 3 && lowerText(n.parts[0]) != lowerText(schema.currentDatabase()))
      unresolved(SqlError(208, 16, 1, "Invalid object name '" + n.display + "'."));
    const std::string s = lowerText(schemaOf(n));
    if (s == "dbo") return n.parts.back();
    return schemaOf(n) + "." + n.parts.back();
  }

  // ---- scopes ----
  std::optional<SqlType> resolveColumn(const std::string& qualifier, const std::string& col) {
    for (auto it = scopes.rbegin(); it != scopes.rend(); ++it) {
      for (const ScopeTable& t : *it) {
        if (!qualifier.empty() && lowerText(t.alias) != lowerText(qualifier)) continue;
        for (const ColumnInfo& c : t.columns) {
          if (lowerText(c.name) == lowerText(col)) return c.type;
        }
      }
    }
    return std::nullopt;
  }

  // ---- expressions ----
  Expr expression() { return orExpr(); }

  Expr orExpr() {
    Expr l = andExpr();
    while (acceptWord("or")) {
      Expr r = andExpr();
      l = Expr{"(" + l.sql + " OR " + r.sql + ")", SqlType::of(Base::Bit)};
    }
    return l;
  }
  Expr andExpr() {
    Expr l = notExpr();
    while (acceptWord("and")) {
      Expr r = notExpr();
      l = Expr{"(" + l.sql + " AND " + r.sql + ")", SqlType::of(Base::Bit)};
    }
    return l;
  }
  Expr notExpr() {
    if (acceptWord("not")) {
      Expr e = notExpr();
      return Expr{"(NOT " + e.sql + ")", SqlType::of(Base::Bit)};
    }
    return predicate();
  }
  // Brings a text literal to a date-time when compared with one, as SQL Server converts by type precedence.
  static void alignForComparison(Expr& a, Expr& b) {
    if (a.type.isDateLike() && (b.isStringLiteral || b.type.isText())) b.sql = "mssql_coerce(" + b.sql + ",'datetime',0)";
    if (b.type.isDateLike() && (a.isStringLiteral || a.type.isText())) a.sql = "mssql_coerce(" + a.sql + ",'datetime',0)";
  }
  Expr predicate() {
    if (acceptWord("exists")) {
      expectSymbol("(");
      std::string sub = selectStatement(true).sql;
      expectSymbol(")");
      return Expr{"(EXISTS (" + sub + "))", SqlType::of(Base::Bit)};
    }
    Expr l = additive();
    static const char* const kOps[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
    for (const char* op : kOps) {
      if (peek().isSymbol(op)) {
        take();
        Expr r = additive();
        alignForComparison(l, r);
        std::string o = op;
        if (o == "!<") o = ">=";
        if (o == "!>") o = "<=";
        return Expr{"(" + l.sql + " " + o + " " + r.sql + " COLLATE MSSQL)", SqlType::of(Base::Bit)};
      }
    }
    if (acceptWord("is")) {
      const bool neg = acceptWord("not");
      expectWord("null");
      return Expr{"(" + l.sql + (neg ? " IS NOT NULL)" : " IS NULL)"), SqlType::of(Base::Bit)};
    }
    const bool neg = acceptWord("not");
    if (acceptWord("in")) {
      expectSymbol("(");
      std::string list;
      if (peek().is("select")) {
        list = selectStatement(true).sql;
      } else {
        do {
          Expr e = additive();
          alignForComparison(l, e);
          list += (list.empty() ? "" : ",") + e.sql;
        } while (acceptSymbol(","));
      }
      expectSymbol(")");
      return Expr{"((" + l.sql + " COLLATE MSSQL)" + (neg ? " NOT IN (" : " IN (") + list + "))", SqlType::of(Base::Bit)};
    }
    if (acceptWord("like")) {
      Expr r = additive();
      std::string s = "(" + l.sql + (neg ? " NOT LIKE " : " LIKE ") + r.sql;
      if (acceptWord("escape")) s += " ESCAPE " + additive().sql;
      return Expr{s + ")", SqlType::of(Base::Bit)};
    }
    if (acceptWord("between")) {
      Expr a = additive();
      expectWord("and");
      Expr b = additive();
      alignForComparison(l, a);
      alignForComparison(l, b);
      return Expr{"(" + l.sql + (neg ? " NOT BETWEEN " : " BETWEEN ") + a.sql + " AND " + b.sql + ")", SqlType::of(Base::Bit)};
    }
    if (neg) syntax();
    return l;
  }
  static SqlType numericResult(const SqlType& a, const SqlType& b) {
    if (a.isDateLike() || b.isDateLike()) return SqlType::of(Base::DateTime);
    if (!a.known() || !b.known()) return SqlType{};
    auto rank = [](Base x) {
      switch (x) {
        case Base::Float: return 9;
        case Base::Real: return 8;
        case Base::Decimal: return 7;
        case Base::BigInt: return 5;
        case Base::Int: return 4;
        case Base::SmallInt: return 3;
        case Base::TinyInt: return 2;
        case Base::Bit: return 1;
        default: return 0;
      }
    };
    const SqlType& w = rank(a.base) >= rank(b.base) ? a : b;
    if (rank(w.base) == 0) return SqlType{};
    if (w.base == Base::Bit || w.base == Base::TinyInt || w.base == Base::SmallInt) return SqlType::of(Base::Int);
    return w;
  }
  Expr additive() {
    Expr l = multiplicative();
    for (;;) {
      if (acceptSymbol("+")) {
        Expr r = multiplicative();
        if (l.type.isText() && r.type.isText()) {
          const bool unicode = l.type.isUnicode() || r.type.isUnicode();
          const int len = (l.type.length < 0 || r.type.length < 0) ? -1 : l.type.length + r.type.length;
          l = Expr{"(" + l.sql + " || " + r.sql + ")",
                   SqlType::text(unicode ? Base::NVarChar : Base::VarChar, len > (unicode ? 4000 : 8000) ? -1 : len)};
        } else if (l.type.isNumeric() && r.type.isNumeric()) {
          l = Expr{"mssql_plus(" + l.sql + "," + r.sql + ")", numericResult(l.type, r.type)};
        } else {
          SqlType t = l.type.isText() && r.type.isText() ? l.type : numericResult(l.type, r.type);
          if (!l.type.known() || !r.type.known()) t = (l.type.isText() && r.type.isText()) ? l.type : SqlType{};
          l = Expr{"mssql_plus(" + l.sql + "," + r.sql + ")", t};
        }
      } else if (acceptSymbol("-")) {
        Expr r = multiplicative();
        l = Expr{"(" + l.sql + " - " + r.sql + ")", numericResult(l.type, r.type)};
      } else if (acceptSymbol("&") || acceptSymbol("|")) {
        const std::string op = toks[pos - 1].text;
        Expr r = multiplicative();
        l = Expr{"(" + l.sql + " " + op + " " + r.sql + ")", numericResult(l.type, r.type)};
      } else {
        return l;
      }
    }
  }
  Expr multiplicative() {
    Expr l = unary();
    for (;;) {
      if (acceptSymbol("*")) {
        Expr r = unary();
        l = Expr{"(" + l.sql + " * " + r.sql + ")", numericResult(l.type, r.type)};
      } else if (acceptSymbol("/")) {
        Expr r = unary();
        l = Expr{"mssql_div(" + l.sql + "," + r.sql + ")", numericResult(l.type, r.type)};
      } else if (acceptSymbol("%")) {
        Expr r = unary();
        l = Expr{"mssql_mod(" + l.sql + "," + r.sql + ")", numericResult(l.type, r.type)};
      } else {
        return l;
      }
    }
  }
  Expr unary() {
    if (acceptSymbol("-")) {
      Expr e = unary();
      return Expr{"(-" + e.sql + ")", e.type};
    }
    if (acceptSymbol("+")) return unary();
    if (acceptSymbol("~")) {
      Expr e = unary();
      return Expr{"(~" + e.sql + ")", e.type};
    }
    return primary();
  }

  static SqlType numberType(const std::string& text) {
    if (text.find_first_of("eE") != std::string::npos) return SqlType::of(Base::Float);
    const auto dot = text.find('.');
    if (dot != std::string::npos) {
      const int scale = static_cast<int>(text.size() - dot - 1);
      return SqlType::decimal(std::max(scale, static_cast<int>(text.size()) - 1), scale);
    }
    if (text.size() > 18) return SqlType::decimal(static_cast<int>(text.size()), 0);
    const long long v = std::stoll(text);
    return SqlType::of(v > 2147483647LL ? Base::BigInt : Base::Int);
  }

  Expr primary() {
    const Token& t = peek();
    switch (t.kind) {
      case Token::Kind::Number: {
        take();
        std::string text = t.text;
        if (text.front() == '.') text = "0" + text;
        if (text.back() == '.') text += "0";
        if (std::count(text.begin(), text.end(), '.') > 1) syntax();
        return Expr{text, numberType(text)};
      }
      case Token::Kind::String: {
        take();
        const int len = static_cast<int>(std::max<std::size_t>(1, utf16Length(t.text)));
        Expr e{quoteText(t.text), SqlType::text(t.national ? Base::NVarChar : Base::VarChar, len > (t.national ? 4000 : 8000) ? -1 : len)};
        e.isStringLiteral = true;
        return e;
      }
      case Token::Kind::Variable: {
        take();
        auto v = schema.variable(t.text);
        if (!v) throw SqlError(137, 15, 2, "Must declare the scalar variable \"" + t.text + "\".");
        return Expr{"?" + std::to_string(v->first), v->second};
      }
      case Token::Kind::SystemVariable: {
        take();
        const std::string n = lowerText(t.text);
        auto v = schema.systemValue(n);
        if (!v) throw SqlError(137, 15, 2, "Must declare the scalar variable \"" + t.text + "\".");
        return Expr{v->first, v->second};
      }
      case Token::Kind::Symbol: {
        if (t.isSymbol("(")) {
          take();
          if (peek().is("select")) {
            auto sub = selectStatement(true);
            expectSymbol(")");
            SqlType ty = sub.typedColumns.size() == 1 ? sub.typedColumns[0].type : SqlType{};
            return Expr{"(" + sub.sql + ")", ty};
          }
          Expr e = expression();
          expectSymbol(")");
          e.sql = "(" + e.sql + ")";
          return e;
        }
        syntax();
      }
      case Token::Kind::Word:
      case Token::Kind::QuotedName: break;
      case Token::Kind::End: syntax();
    }
    if (t.kind == Token::Kind::Word) {
      if (t.is("null")) {
        take();
        return Expr{"NULL", SqlType{}};
      }
      if (t.is("case")) return caseExpr();
      if (t.is("current_timestamp")) {
        take();
        return Expr{getdate(), SqlType::of(Base::DateTime)};
      }
      if (peek(1).isSymbol("(") && !isClauseWord(t)) return functionCall();
      if (isClauseWord(t) && !t.is("left") && !t.is("right")) syntax();
      if ((t.is("left") || t.is("right")) && peek(1).isSymbol("(")) return functionCall();
    }
    // Column reference: [qualifier.]column
    std::vector<std::string> parts{name()};
    while (peek().isSymbol(".")) {
      take();
      if (peek().isSymbol("*")) syntax();
      parts.push_back(name());
    }
    const std::string col = parts.back();
    const std::string qualifier = parts.size() >= 2 ? parts[parts.size() - 2] : std::string();
    Expr e;
    e.sql = (qualifier.empty() ? "" : quoteName(qualifier) + ".") + quoteName(col);
    e.type = resolveColumn(qualifier, col).value_or(SqlType{});
    e.isColumn = true;
    e.column = col;
    return e;
  }

  Expr caseExpr() {
    expectWord("case");
    std::string s = "(CASE";
    SqlType type;
    if (!peek().is("when")) s += " " + expression().sql;
    if (!peek().is("when")) syntax();
    while (acceptWord("when")) {
      s += " WHEN " + expression().sql;
      expectWord("then");
      Expr r = expression();
      if (!type.known()) type = r.type;
      s += " THEN " + r.sql;
    }
    if (acceptWord("else")) {
      Expr r = expression();
      if (!type.known()) type = r.type;
      s += " ELSE " + r.sql;
    }
    expectWord("end");
    return Expr{s + " END)", type};
  }

  // A type name with its length, as in CAST and CREATE TABLE; defaultLength for (n)(var)char without one.
  SqlType typeName(int defaultLength, int columnNumber) {
    const std::string n = name();
    auto base = SqlType::baseFromName(n);
    if (!base) {
      throw SqlError(2715, 16, 6, "Column, parameter, or variable #" + std::to_string(columnNumber) + ": Cannot find data type " + n + ".");
    }
    SqlType t = SqlType::of(*base);
    if (t.isText()) t.length = defaultLength;
    if (t.base == Base::Float && acceptSymbol("(")) {  // float(n): n <= 24 is real
      const int bits = std::stoi(take().text);
      expectSymbol(")");
      if (bits <= 24) t.base = Base::Real;
      return t;
    }
    if (acceptSymbol("(")) {
      if (t.isText()) {
        if (acceptWord("max")) {
          t.length = -1;
        } else {
          if (peek().kind != Token::Kind::Number) syntax();
          t.length = std::stoi(take().text);
          const int limit = t.isUnicode() ? 4000 : 8000;
          if (t.length < 1 || t.length > limit)
            throw SqlError(2717, 16, 2, "The size (" + std::to_string(t.length) + ") given to the type '" + n + "' exceeds the maximum allowed for any data type (" + std::to_string(limit) + ").");
        }
      } else if (t.base == Base::Decimal) {
        if (peek().kind != Token::Kind::Number) syntax();
        t.precision = std::stoi(take().text);
        t.scale = 0;
        if (acceptSymbol(",")) {
          if (peek().kind != Token::Kind::Number) syntax();
          t.scale = std::stoi(take().text);
        }
        if (t.precision < 1 || t.precision > 38 || t.scale > t.precision)
          throw SqlError(2750, 16, 1, "Column or parameter #" + std::to_string(columnNumber) + ": Specified column precision " + std::to_string(t.precision) + " is greater than the maximum precision of 38.");
      } else {
        syntax();
      }
      expectSymbol(")");
    }
    return t;
  }

  std::string datepartArg() {
    const Token& t = take();
    if (t.kind != Token::Kind::Word && t.kind != Token::Kind::QuotedName && t.kind != Token::Kind::String) syntax();
    auto p = normaliseDatepart(t.text);
    if (!p) throw SqlError(155, 15, 1, "'" + t.text + "' is not a recognized datepart option.");
    return *p;
  }

  std::vector<Expr> arguments() {
    std::vector<Expr> args;
    if (acceptSymbol(")")) return args;
    do {
      args.push_back(expression());
    } while (acceptSymbol(","));
    expectSymbol(")");
    return args;
  }

  Expr functionCall() {
    const std::string fname = lowerText(take().text);
    expectSymbol("(");
    auto argCount = [&](const std::vector<Expr>& a, std::size_t lo, std::size_t hi) {
      if (a.size() < lo || a.size() > hi)
        throw SqlError(174, 15, 1, "The " + fname + " function requires " + std::to_string(lo) + " argument(s).");
    };
    auto call = [&](const std::string& fn, const std::vector<Expr>& a) {
      std::string s = fn + "(";
      for (std::size_t i = 0; i < a.size(); ++i) s += (i ? "," : "") + a[i].sql;
      return s + ")";
    };
    const SqlType intType = SqlType::of(Base::Int);
    if (fname == "count") {
      std::string s = "count(";
      if (acceptSymbol("*")) {
        s += "*";
      } else {
        if (acceptWord("distinct")) s += "DISTINCT ";
        else acceptWord("all");
        s += expression().sql;
      }
      expectSymbol(")");
      return Expr{s + ")", intType};
    }
    if (fname == "cast") {
      Expr e = expression();
      expectWord("as");
      SqlType t = typeName(30, 1);
      expectSymbol(")");
      return Expr{"mssql_coerce(" + e.sql + "," + quoteText(t.declaration()) + ",0)", t};
    }
    if (fname == "convert") {
      SqlType t = typeName(30, 1);
      expectSymbol(",");
      Expr e = expression();
      if (acceptSymbol(",")) {
        const Token& style = take();
        static const char* const kIso[] = {"0", "20", "120", "121", "23", "126"};
        const bool iso = std::any_of(std::begin(kIso), std::end(kIso), [&](const char* s) { return style.text == s; });
        if (style.kind != Token::Kind::Number || !iso || !(e.type.isDateLike() || e.type.isText()))
          throw SqlError(281, 16, 1, style.text + " is not a valid style number when converting to " + t.displayName() + " by this server.");
      }
      expectSymbol(")");
      std::string inner = e.sql;
      if (t.isText() && e.type.isDateLike()) inner = "mssql_datetext(" + inner + "," + (e.type.base == Base::Date ? "1" : "0") + ")";
      return Expr{"mssql_coerce(" + inner + "," + quoteText(t.declaration()) + ",0)", t};
    }
    if (fname == "datepart" || fname == "datediff" || fname == "dateadd") {
      const std::string part = datepartArg();
      expectSymbol(",");
      std::vector<Expr> rest = arguments();
      argCount(rest, fname == "datepart" ? 1 : 2, fname == "datepart" ? 1 : 2);
      std::string s = "mssql_" + fname + "(" + quoteText(part);
      for (const Expr& a : rest) s += "," + a.sql;
      SqlType t = intType;
      if (fname == "dateadd") t = rest[1].type.base == Base::Date ? rest[1].type : SqlType::of(Base::DateTime);
      return Expr{s + ")", t};
    }
    std::vector<Expr> a = arguments();
    auto firstType = [&]() { return a.empty() ? SqlType{} : a[0].type; };
    if (fname == "getdate" || fname == "sysdatetime" || fname == "current_timestamp") {
      argCount(a, 0, 0);
      return Expr{getdate(), SqlType::of(Base::DateTime)};
    }
    if (fname == "year" || fname == "month" || fname == "day") {
      argCount(a, 1, 1);
      return Expr{"mssql_datepart(" + quoteText(fname) + "," + a[0].sql + ")", intType};
    }
    if (fname == "len") {
      argCount(a, 1, 1);
      return Expr{call("mssql_len", a), intType};
    }
    if (fname == "upper" || fname == "lower") {
      argCount(a, 1, 1);
      return Expr{call("mssql_" + fname, a), firstType().isText() ? firstType() : SqlType::text(Base::NVarChar, 4000)};
    }
    if (fname == "ltrim" || fname == "rtrim" || fname == "trim") {
      argCount(a, 1, 1);
      return Expr{fname + "(" + a[0].sql + ",' ')", firstType().isText() ? firstType() : SqlType::text(Base::NVarChar, 4000)};
    }
    if (fname == "substring") {
      argCount(a, 3, 3);
      return Expr{call("substr", a), firstType().isText() ? firstType() : SqlType::text(Base::NVarChar, 4000)};
    }
    if (fname == "left" || fname == "right") {
      argCount(a, 2, 2);
      return Expr{call("mssql_" + fname, a), firstType().isText() ? firstType() : SqlType::text(Base::NVarChar, 4000)};
    }
    if (fname == "replace") {
      argCount(a, 3, 3);
      const bool ascii = a[0].type.base == Base::VarChar && a[2].type.base == Base::VarChar;
      return Expr{call("mssql_replace", a), SqlType::text(ascii ? Base::VarChar : Base::NVarChar, -1)};
    }
    if (fname == "charindex") {
      argCount(a, 2, 3);
      return Expr{call("mssql_charindex", a), intType};
    }
    if (fname == "isnull") {
      argCount(a, 2, 2);
      return Expr{call("ifnull", a), firstType().known() ? firstType() : a[1].type};
    }
    if (fname == "coalesce") {
      if (a.size() < 2) throw SqlError(189, 15, 1, "The coalesce function requires 2 to 254 arguments.");
      return Expr{call("coalesce", a), firstType()};
    }
    if (fname == "nullif") {
      argCount(a, 2, 2);
      return Expr{call("nullif", a), firstType()};
    }
    if (fname == "iif") {
      argCount(a, 3, 3);
      return Expr{"(CASE WHEN " + a[0].sql + " THEN " + a[1].sql + " ELSE " + a[2].sql + " END)", a[1].type};
    }
    if (fname == "concat") {
      if (a.size() < 2) throw SqlError(189, 15, 1, "The concat function requires 2 to 254 arguments.");
      return Expr{call("mssql_concat", a), SqlType::text(Base::NVarChar, 4000)};
    }
    if (fname == "abs") {
      argCount(a, 1, 1);
      return Expr{call("abs", a), firstType()};
    }
    if (fname == "round") {
      argCount(a, 2, 3);
      return Expr{"round(" + a[0].sql + "," + a[1].sql + ")", firstType()};
    }
    if (fname == "char" || fname == "nchar") {
      argCount(a, 1, 1);
      return Expr{call("char", a), SqlType::text(fname == "char" ? Base::VarChar : Base::NVarChar, 1)};
    }
    if (fname == "ascii" || fname == "unicode") {
      argCount(a, 1, 1);
      return Expr{call("unicode", a), intType};
    }
    if (fname == "sum" || fname == "min" || fname == "max") {
      argCount(a, 1, 1);
      SqlType t = fname == "sum" ? numericResult(firstType(), intType) : firstType();
      if (fname == "sum" && t.base == Base::Decimal) t.precision = 38;
      return Expr{call(fname, a), t};
    }
    if (fname == "avg") {
      argCount(a, 1, 1);
      if (firstType().isInteger()) return Expr{"CAST(avg(" + a[0].sql + ") AS INTEGER)", numericResult(firstType(), intType)};
      return Expr{call("avg", a), firstType().known() ? firstType() : SqlType::of(Base::Float)};
    }
    if (fname == "scope_identity") {
      argCount(a, 0, 0);
      auto v = schema.systemValue("scope_identity()");
      return Expr{v ? v->first : "NULL", SqlType::decimal(38, 0)};
    }
    if (fname == "ident_current") {
      argCount(a, 1, 1);
      if (!a[0].isStringLiteral) throw SqlError(8116, 16, 1, "Argument data type is invalid for argument 1 of ident_current function.");
      std::string raw = a[0].sql.substr(1, a[0].sql.size() - 2);
      std::string unq;
      for (std::size_t i = 0; i < raw.size(); ++i) {
        unq += raw[i];
        if (raw[i] == '\'' && i + 1 < raw.size() && raw[i + 1] == '\'') ++i;
      }
      auto nameToks = tokenize(unq);
      Impl sub(nameToks, schema);
      std::string table;
      try {
        table = sub.tableName(sub.objectName());
      } catch (const SqlError&) {
        return Expr{"NULL", SqlType::decimal(38, 0)};
      }
      return Expr{schema.identCurrent(table), SqlType::decimal(38, 0)};
    }
    if (fname == "db_name") {
      argCount(a, 0, 1);
      if (!a.empty()) throw SqlError(8116, 16, 1, "Argument data type is invalid for argument 1 of db_name function.");
      return Expr{quoteText(schema.currentDatabase()), SqlType::text(Base::NVarChar, 128)};
    }
    if (fname == "object_id") {
      argCount(a, 1, 2);
      if (!a[0].isStringLiteral) throw SqlError(8116, 16, 1, "Argument data type is invalid for argument 1 of object_id function.");
      auto nameToks = tokenize(a[0].sql.substr(1, a[0].sql.size() - 2));
      Impl sub(nameToks, schema);
      std::optional<std::vector<ColumnInfo>> cols;
      try {
        cols = schema.columns(sub.tableName(sub.objectName()));
      } catch (const SqlError&) {
      }
      std::size_t h = std::hash<std::string>{}(lowerText(a[0].sql)) % 2000000000u;
      return Expr{cols ? std::to_string(h + 1) : "NULL", intType};
    }
    throw SqlError(195, 15, 10, "'" + fname + "' is not a recognized built-in function name.");
  }

  // ---- SELECT ----
  struct SelectItem {
    bool star = false;
    std::string sql;
    std::string name;
    SqlType type;
  };

  std::vector<SelectItem> selectItems() {
    std::vector<SelectItem> items;
    int unnamed = 0;
    do {
      SelectItem it;
      if (peek().isSymbol("*")) {
        take();
        it.star = true;
        it.sql = "*";
      } else if (isName(peek()) && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
        it.star = true;
        it.sql = quoteName(take().text) + ".*";
        take();
        take();
      } else if ((isName(peek())) && peek(1).isSymbol("=") && !peek(2).isSymbol("=")) {
        it.name = take().text;  // alias = expression
        take();
        Expr e = expression();
        it.sql = e.sql;
        it.type = e.type;
      } else {
        Expr e = expression();
        it.sql = e.sql;
        it.type = e.type;
        if (e.isColumn) it.name = e.column;
        if (acceptWord("as")) {
          const Token& a = take();
          if (a.kind != Token::Kind::Word && a.kind != Token::Kind::QuotedName && a.kind != Token::Kind::String) syntax();
          it.name = a.text;
        } else if (isName(peek()) || peek().kind == Token::Kind::String) {
          it.name = take().text;
        }
      }
      if (!it.star && it.name.empty()) it.name = "\x01" + std::to_string(unnamed++);
      items.push_back(std::move(it));
    } while (acceptSymbol(","));
    return items;
  }

  // A table source: a table, a view, a catalogue view or a derived table, with its alias.
  std::string tableSource(std::vector<ScopeTable>& scope) {
    if (acceptSymbol("(")) {
      TranslatedStatement sub = selectStatement(true);
      expectSymbol(")");
      acceptWord("as");
      const std::string alias = name();
      std::vector<ColumnInfo> cols;
      for (const ResultColumn& c : sub.typedColumns) cols.push_back(ColumnInfo{c.name, c.type});
      scope.push_back(ScopeTable{alias, cols});
      return "(" + sub.sql + ") AS " + quoteName(alias);
    }
    ObjectName n = objectName();
    std::string sql;
    std::vector<ColumnInfo> cols;
    const std::string s = lowerText(schemaOf(n));
    const std::string last = lowerText(n.parts.back());
    const SqlType sysname = SqlType::text(Base::NVarChar, 128);
    if (s == "information_schema" && last == "tables") {
      sql = "(SELECT " + quoteText(schema.currentDatabase()) +
            " AS TABLE_CATALOG, CASE WHEN instr(name,'.')>0 THEN substr(name,1,instr(name,'.')-1) ELSE 'dbo' END COLLATE MSSQL AS TABLE_SCHEMA,"
            " CASE WHEN instr(name,'.')>0 THEN substr(name,instr(name,'.')+1) ELSE name END COLLATE MSSQL AS TABLE_NAME,"
            " CASE type WHEN 'view' THEN 'VIEW' ELSE 'BASE TABLE' END AS TABLE_TYPE FROM main.sqlite_master"
            " WHERE type IN ('table','view') AND name NOT LIKE 'sqlite!_%' ESCAPE '!' AND name NOT LIKE '!_!_standin%' ESCAPE '!')";
      cols = {{"TABLE_CATALOG", sysname}, {"TABLE_SCHEMA", sysname}, {"TABLE_NAME", sysname}, {"TABLE_TYPE", SqlType::text(Base::VarChar, 10)}};
    } else if (s == "sys" && last == "databases") {
      sql = "(SELECT column1 COLLATE MSSQL AS name, column2 AS database_id, 0 AS state, 'ONLINE' AS state_desc FROM (VALUES ";
      const auto names = schema.databaseNames();
      for (std::size_t i = 0; i < names.size(); ++i) sql += (i ? "," : "") + std::string("(") + quoteText(names[i]) + "," + std::to_string(i + 1) + ")";
      sql += "))";
      cols = {{"name", sysname}, {"database_id", SqlType::of(Base::Int)}, {"state", SqlType::of(Base::TinyInt)}, {"state_desc", SqlType::text(Base::NVarChar, 60)}};
    } else if (s == "sys" && (last == "tables" || last == "views" || last == "objects")) {
      const std::string types = last == "tables" ? "('table')" : last == "views" ? "('view')" : "('table','view')";
      sql = "(SELECT name COLLATE MSSQL AS name, rowid AS object_id, 1 AS schema_id, CASE type WHEN 'view' THEN 'V ' ELSE 'U ' END AS type FROM main.sqlite_master WHERE type IN " +
            types + " AND name NOT LIKE 'sqlite!_%' ESCAPE '!' AND name NOT LIKE '!_!_standin%' ESCAPE '!')";
      cols = {{"name", sysname}, {"object_id", SqlType::of(Base::Int)}, {"schema_id", SqlType::of(Base::Int)}, {"type", SqlType::text(Base::Char, 2)}};
    } else if (s == "sys" || s == "information_schema") {
      unresolved(SqlError(208, 16, 1, "Invalid object name '" + n.display + "'."));
    } else {
      const std::string table = tableName(n);
      auto c = schema.columns(table);
      if (!c) unresolved(SqlError(208, 16, 1, "Invalid object name '" + n.display + "'."));
      cols = c.value_or(std::vector<ColumnInfo>{});
      sql = quoteName(table);
    }
    std::string alias = n.parts.back();
    if (acceptWord("as")) {
      alias = name();
    } else if (isName(peek()) && !peek().is("with")) {
      alias = take().text;
    }
    if (peek().is("with") && peek(1).isSymbol("(")) {  // table hints such as NOLOCK change nothing here
      take();
      take();
      while (!acceptSymbol(")")) {
        if (atEnd()) syntax();
        take();
      }
    }
    scope.push_back(ScopeTable{alias, cols});
    return sql + " AS " + quoteName(alias);
  }

  std::string fromClause(std::vector<ScopeTable>& scope) {
    std::string sql = tableSource(scope);
    for (;;) {
      if (acceptSymbol(",")) {
        sql += ", " + tableSource(scope);
        continue;
      }
      std::string join;
      if (acceptWord("join")) {
        join = " JOIN ";
      } else if (peek().is("inner") && peek(1).is("join")) {
        take(), take();
        join = " JOIN ";
      } else if ((peek().is("left") || peek().is("right")) && (peek(1).is("join") || (peek(1).is("outer") && peek(2).is("join")))) {
        join = peek().is("left") ? " LEFT JOIN " : " RIGHT JOIN ";
        take();
        acceptWord("outer");
        take();
      } else if (peek().is("cross") && peek(1).is("join")) {
        take(), take();
        sql += " CROSS JOIN " + tableSource(scope);
        continue;
      } else {
        return sql;
      }
      sql += join + tableSource(scope);
      scopes.push_back(scope);
      expectWord("on");
      sql += " ON " + expression().sql;
      scopes.pop_back();
    }
  }

  // SELECT ...; as a subquery it leaves the closing parenthesis to the caller.
  TranslatedStatement selectStatement(bool subquery) {
    expectWord("select");
    std::string head = "SELECT ";
    if (acceptWord("distinct")) head += "DISTINCT ";
    else acceptWord("all");
    std::string limit;
    if (acceptWord("top")) {
      if (acceptSymbol("(")) {
        limit = expression().sql;
        expectSymbol(")");
      } else {
        if (peek().kind != Token::Kind::Number && peek().kind != Token::Kind::Variable) syntax();
        limit = primary().sql;
      }
      if (peek().is("percent") || (peek().is("with") && peek(1).is("ties"))) throw syntaxError(peek().text);
    }
    // The select list names columns of the FROM clause that follows it: read it
    // once to find its end, translate the rest, then translate it with the tables known.
    const std::size_t itemsStart = pos;
    scopes.emplace_back();
    selectItems();
    std::vector<ScopeTable> scope;
    std::string tail;
    if (acceptWord("from")) tail += " FROM " + fromClause(scope);
    scopes.back() = scope;
    if (acceptWord("where")) tail += " WHERE " + expression().sql;
    if (peek().is("group") && peek(1).is("by")) {
      take(), take();
      tail += " GROUP BY ";
      do {
        tail += expression().sql;
        if (peek().isSymbol(",")) tail += ",";
      } while (acceptSymbol(","));
    }
    if (acceptWord("having")) tail += " HAVING " + expression().sql;
    const std::size_t itemsEnd = pos;
    pos = itemsStart;
    std::vector<SelectItem> items = selectItems();
    pos = itemsEnd;
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::Query;
    std::string list;
    for (const SelectItem& it : items) {
      if (!list.empty()) list += ", ";
      if (it.star) {
        list += it.sql;
        continue;
      }
      list += it.sql + " AS " + quoteName(it.name);
      st.typedColumns.push_back(ResultColumn{it.name, it.type});
    }
    if (items.size() == 1 && items[0].star && scope.size() == 1) {
      for (const ColumnInfo& c : scope[0].columns) st.typedColumns.push_back(ResultColumn{c.name, c.type});
    }
    st.sql = head + list + tail;
    while (peek().is("union")) {
      take();
      st.sql += acceptWord("all") ? " UNION ALL " : " UNION ";
      scopes.pop_back();
      TranslatedStatement next = selectStatement(true);
      scopes.emplace_back();
      st.sql += next.sql;
    }
    if (peek().is("order") && peek(1).is("by")) {
      if (subquery && limit.empty()) throw SqlError(1033, 15, 1, "The ORDER BY clause is invalid in views, inline functions, derived tables, subqueries, and common table expressions, unless TOP, OFFSET or FOR XML is also specified.");
      take(), take();
      st.sql += " ORDER BY ";
      do {
        Expr e = expression();
        st.sql += e.sql;
        if (acceptWord("desc")) st.sql += " DESC";
        else acceptWord("asc");
        if (peek().isSymbol(",")) st.sql += ", ";
      } while (acceptSymbol(","));
    }
    if (!limit.empty()) st.sql += " LIMIT " + limit;
    scopes.pop_back();
    return st;
  }

  // ---- INSERT / UPDATE / DELETE ----
  std::string assignValue(const Expr& e, const ColumnInfo& c) {
    return "mssql_coerce(" + e.sql + "," + quoteText(c.type.declaration()) + ",1)";
  }

  ColumnInfo findColumn(const std::vector<ColumnInfo>& cols, const std::string& n) {
    for (const ColumnInfo& c : cols) {
      if (lowerText(c.name) == lowerText(n)) return c;
    }
    unresolved(SqlError(207, 16, 1, "Invalid column name '" + n + "'."));
    return ColumnInfo{n, SqlType::text(Base::NVarChar, -1)};
  }

  TranslatedStatement insertStatement() {
    expectWord("insert");
    acceptWord("into");
    ObjectName n = objectName();
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::Insert;
    st.table = tableName(n);
    auto cols = schema.columns(st.table);
    if (!cols) unresolved(SqlError(208, 16, 1, "Invalid object name '" + n.display + "'."));
    const bool known = cols.has_value();
    if (!known) cols.emplace();
    st.identity = schema.identity(st.table);
    std::vector<ColumnInfo> targets;
    if (acceptSymbol("(")) {
      do {
        const std::string c = name();
        targets.push_back(findColumn(*cols, c));
        if (st.identity && lowerText(targets.back().name) == lowerText(st.identity->column))
          unresolved(SqlError(544, 16, 1, "Cannot insert explicit value for identity column in table '" + n.parts.back() + "' when IDENTITY_INSERT is set to OFF."));
      } while (acceptSymbol(","));
      expectSymbol(")");
    } else {
      for (const ColumnInfo& c : *cols) {
        if (!st.identity || lowerText(c.name) != lowerText(st.identity->column)) targets.push_back(c);
      }
    }
    if (acceptWord("output")) {
      scopes.push_back({ScopeTable{"inserted", *cols}});
      std::string list;
      do {
        if (peek().is("inserted") && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
          take(), take(), take();
          for (const ColumnInfo& c : *cols) {
            list += (list.empty() ? "" : ", ") + std::string("\"inserted\".") + quoteName(c.name);
            st.outputColumns.push_back(ResultColumn{c.name, c.type});
          }
          continue;
        }
        Expr e = expression();
        std::string alias = e.isColumn ? e.column : "";
        if (acceptWord("as")) alias = take().text;
        list += (list.empty() ? "" : ", ") + e.sql;
        st.outputColumns.push_back(ResultColumn{alias, e.type});
      } while (acceptSymbol(","));
      scopes.pop_back();
      st.outputSelect = "SELECT " + list + " FROM " + quoteName(st.table) + " AS \"inserted\" WHERE rowid = ";
    }
    for (const ColumnInfo& c : targets) st.insertColumns.push_back(quoteName(c.name));
    if (peek().is("default") && peek(1).is("values")) {
      take(), take();
      st.insertColumns.clear();
      st.insertRows.emplace_back();
      return st;
    }
    if (!acceptWord("values")) {
      if (peek().is("select")) throw SqlError(102, 15, 1, "Incorrect syntax near 'select'. INSERT ... SELECT is not supported by this server.");
      syntax();
    }
    do {
      expectSymbol("(");
      std::vector<std::string> row;
      std::size_t i = 0;
      do {
        if (peek().is("default")) {
          throw SqlError(102, 15, 1, "Incorrect syntax near 'DEFAULT'. DEFAULT in VALUES is not supported by this server.");
        }
        Expr e = expression();
        if (i < targets.size()) row.push_back(assignValue(e, targets[i]));
        ++i;
      } while (acceptSymbol(","));
      expectSymbol(")");
      if (!known) continue;
      if (i > targets.size())
        throw SqlError(110, 15, 1, "There are fewer columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement.");
      if (i < targets.size())
        throw SqlError(109, 15, 1, "There are more columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement.");
      st.insertRows.push_back(std::move(row));
    } while (acceptSymbol(","));
    return st;
  }

  TranslatedStatement updateStatement() {
    expectWord("update");
    if (peek().is("top")) syntax();
    ObjectName n = objectName();
    const std::string table = tableName(n);
    auto cols = schema.columns(table);
    if (!cols) unresolved(SqlError(208, 16, 1, "Invalid object name '" + n.display + "'."));
    if (!cols) cols.emplace();
    auto ident = schema.identity(table);
    scopes.push_back({ScopeTable{n.parts.back(), *cols}});
    expectWord("set");
    std::string sets;
    do {
      std::string c = name();
      if (acceptSymbol(".")) c = name();  // t.col
      const ColumnInfo col = findColumn(*cols, c);
      if (ident && lowerText(ident->column) == lowerText(col.name))
        unresolved(SqlError(8102, 16, 1, "Cannot update identity column '" + col.name + "'."));
      expectSymbol("=");
      Expr e = expression();
      sets += (sets.empty() ? "" : ", ") + quoteName(col.name) + " = " + assignValue(e, col);
    } while (acceptSymbol(","));
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::Modify;
    st.sql = "UPDATE " + quoteName(table) + " AS " + quoteName(n.parts.back()) + " SET " + sets;
    if (peek().is("from")) throw SqlError(102, 15, 1, "Incorrect syntax near 'FROM'. UPDATE ... FROM is not supported by this server.");
    if (acceptWord("where")) st.sql += " WHERE " + expression().sql;
    scopes.pop_back();
    return st;
  }

  TranslatedStatement deleteStatement() {
    expectWord("delete");
    acceptWord("from");
    ObjectName n = objectName();
    const std::string table = tableName(n);
    auto cols = schema.columns(table);
    if (!cols) unresolved(SqlError(208, 16, 1, "Invalid object name '" + n.display + "'."));
    scopes.push_back({ScopeTable{n.parts.back(), cols.value_or(std::vector<ColumnInfo>{})}});
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::Modify;
    st.sql = "DELETE FROM " + quoteName(table) + " AS " + quoteName(n.parts.back());
    if (acceptWord("where")) st.sql += " WHERE " + expression().sql;
    scopes.pop_back();
    return st;
  }

  // ---- CREATE / DROP ----
  void requireSchema(const ObjectName& n) {
    const std::string sch = schemaOf(n);
    if (lowerText(sch) != "dbo" && !schema.schemaExists(sch))
      unresolved(SqlError(2760, 16, 1, "The specified schema name \"" + sch + "\" either does not exist or you do not have permission to use it."));
  }

  TranslatedStatement createTable() {
    ObjectName n = objectName();
    requireSchema(n);
    const std::string table = tableName(n);
    if (schema.columns(table)) unresolved(SqlError(2714, 16, 6, "There is already an object named '" + n.parts.back() + "' in the database."));
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::CreateTable;
    st.table = table;
    expectSymbol("(");
    std::vector<std::string> defs;
    std::vector<std::string> names;
    int number = 0;
    bool hasPrimaryKey = false;
    do {
      if (peek().is("constraint") || peek().is("primary") || peek().is("unique")) {
        if (acceptWord("constraint")) name();
        const bool pk = acceptWord("primary");
        if (pk) expectWord("key");
        else expectWord("unique");
        if (pk && hasPrimaryKey) throw SqlError(8110, 16, 0, "Cannot add multiple PRIMARY KEY constraints to table '" + n.parts.back() + "'.");
        hasPrimaryKey = hasPrimaryKey || pk;
        if (!acceptWord("clustered")) acceptWord("nonclustered");
        expectSymbol("(");
        std::string list;
        do {
          list += (list.empty() ? "" : ",") + quoteName(name());
          if (!acceptWord("asc")) acceptWord("desc");
        } while (acceptSymbol(","));
        expectSymbol(")");
        defs.push_back(std::string(pk ? "PRIMARY KEY(" : "UNIQUE(") + list + ")");
        continue;
      }
      ++number;
      const std::string col = name();
      for (const std::string& existing : names) {
        if (lowerText(existing) == lowerText(col))
          throw SqlError(2705, 16, 3, "Column names in each table must be unique. Column name '" + col + "' in table '" + n.parts.back() + "' is specified more than once.");
      }
      names.push_back(col);
      SqlType type = typeName(1, number);
      std::string def = quoteName(col) + " " + type.declaration();
      if (type.isText()) def += " COLLATE MSSQL";
      bool notNull = false, primary = false, unique = false;
      std::string defaultSql;
      for (;;) {
        if (acceptWord("identity")) {
          if (st.identity) throw SqlError(2744, 16, 2, "Multiple identity columns specified for table '" + n.parts.back() + "'. Only one identity column per table is allowed.");
          if (!type.isInteger() && !(type.base == Base::Decimal && type.scale == 0))
            throw SqlError(2749, 16, 2, "Identity column '" + col + "' must be of data type int, bigint, smallint, tinyint, or decimal or numeric with a scale of 0, and constrained to be nonnullable.");
          IdentityInfo id{col, 1, 1};
          if (acceptSymbol("(")) {
            auto signedNumber = [&]() {
              const bool minus = acceptSymbol("-");
              if (peek().kind != Token::Kind::Number) syntax();
              const long long v = std::stoll(take().text);
              return minus ? -v : v;
            };
            id.seed = signedNumber();
            expectSymbol(",");
            id.step = signedNumber();
            expectSymbol(")");
            if (id.step == 0) throw SqlError(2748, 16, 1, "Cannot specify a zero increment for identity column '" + col + "'.");
          }
          st.identity = id;
          notNull = true;
        } else if (peek().is("not") && peek(1).is("null")) {
          take(), take();
          notNull = true;
        } else if (acceptWord("null")) {
        } else if (acceptWord("default")) {
          inDefinition = true;
          Expr e = unary();
          inDefinition = false;
          defaultSql = "mssql_coerce(" + e.sql + "," + quoteText(type.declaration()) + ",1)";
        } else if (peek().is("constraint")) {
          take();
          name();
        } else if (peek().is("primary") && peek(1).is("key")) {
          take(), take();
          if (hasPrimaryKey) throw SqlError(8110, 16, 0, "Cannot add multiple PRIMARY KEY constraints to table '" + n.parts.back() + "'.");
          hasPrimaryKey = primary = notNull = true;
          if (!acceptWord("clustered")) acceptWord("nonclustered");
        } else if (acceptWord("unique")) {
          unique = true;
          if (!acceptWord("clustered")) acceptWord("nonclustered");
        } else if (acceptWord("collate")) {
          name();
        } else {
          break;
        }
      }
      if (notNull) def += " NOT NULL";
      if (!defaultSql.empty()) def += " DEFAULT (" + defaultSql + ")";
      if (primary) def += " PRIMARY KEY";
      if (unique) def += " UNIQUE";
      defs.insert(defs.begin() + static_cast<long>(number - 1), def);
    } while (acceptSymbol(","));
    expectSymbol(")");
    st.sql = "CREATE TABLE " + quoteName(table) + " (";
    for (std::size_t i = 0; i < defs.size(); ++i) st.sql += (i ? ", " : "") + defs[i];
    st.sql += ")";
    return st;
  }

  TranslatedStatement createView() {
    ObjectName n = objectName();
    requireSchema(n);
    const std::string view = tableName(n);
    if (schema.columns(view)) unresolved(SqlError(2714, 16, 3, "There is already an object named '" + n.parts.back() + "' in the database."));
    expectWord("as");
    inDefinition = true;
    TranslatedStatement sel = selectStatement(false);
    inDefinition = false;
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::Ddl;
    st.sql = "CREATE VIEW " + quoteName(view) + " AS " + sel.sql;
    return st;
  }

  TranslatedStatement dropStatement() {
    expectWord("drop");
    const bool isView = acceptWord("view");
    if (!isView) expectWord("table");
    bool ifExists = false;
    if (peek().is("if") && peek(1).is("exists")) {
      take(), take();
      ifExists = true;
    }
    ObjectName n = objectName();
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::DropTable;
    st.table = tableName(n);
    if (!schema.columns(st.table) && ifExists) return TranslatedStatement{};
    // A missing object is reported when the statement runs, so that a skipped IF branch may name one.
    st.name = std::string("Cannot drop the ") + (isView ? "view" : "table") + " '" + n.display + "', because it does not exist or you do not have permission.";
    st.sql = std::string(isView ? "DROP VIEW " : "DROP TABLE ") + quoteName(st.table);
    return st;
  }

  // ---- other statements ----
  TranslatedStatement setStatement() {
    expectWord("set");
    TranslatedStatement st;
    if (peek().kind == Token::Kind::Variable) throw SqlError(137, 15, 1, "Must declare the scalar variable \"" + peek().text + "\".");
    const std::string option = lowerText(name());
    static const char* const kOnOff[] = {"ansi_nulls", "ansi_padding", "ansi_warnings", "arithabort", "arithignore",
                                         "concat_null_yields_null", "quoted_identifier", "ansi_null_dflt_on",
                                         "ansi_null_dflt_off", "cursor_close_on_commit", "xact_abort", "nocount",
                                         "numeric_roundabort", "implicit_transactions", "fmtonly", "ansi_defaults",
                                         "statistics", "showplan_all", "noexec", "parseonly", "identity_insert"};
    if (std::find(std::begin(kOnOff), std::end(kOnOff), option) != std::end(kOnOff)) {
      if (option == "statistics") name();
      if (option == "identity_insert") throw SqlError(102, 15, 1, "Incorrect syntax near 'IDENTITY_INSERT'. IDENTITY_INSERT is not supported by this server.");
      const bool on = acceptWord("on");
      if (!on) expectWord("off");
      // Options whose ON state would change what statements do are refused rather than ignored.
      const bool harmless = option == "nocount" || !on ||
                            (option != "implicit_transactions" && option != "fmtonly" && option != "noexec" &&
                             option != "parseonly" && option != "showplan_all" && option != "ansi_null_dflt_off" &&
                             option != "numeric_roundabort" && option != "arithignore");
      if (!harmless || (option == "ansi_nulls" && !on) || (option == "concat_null_yields_null" && !on))
        throw SqlError(102, 15, 1, "Incorrect syntax near '" + option + "'. SET " + option + (on ? " ON" : " OFF") + " is not supported by this server.");
      if (option == "nocount") {
        st.kind = TranslatedStatement::Kind::SetNoCount;
        st.flag = on;
      }
      return st;
    }
    if (option == "textsize" || option == "lock_timeout" || option == "datefirst" || option == "deadlock_priority" ||
        option == "rowcount" || option == "language" || option == "dateformat" || option == "query_governor_cost_limit") {
      acceptSymbol("-");
      const Token& v = take();
      if (v.kind == Token::Kind::End) syntax();
      if (option == "rowcount" && v.text != "0") throw SqlError(102, 15, 1, "Incorrect syntax near 'ROWCOUNT'. SET ROWCOUNT is not supported by this server.");
      if (option == "datefirst" && v.text != "7") throw SqlError(102, 15, 1, "Incorrect syntax near 'DATEFIRST'. Only SET DATEFIRST 7 is supported by this server.");
      if (option == "dateformat" && lowerText(v.text) != "ymd" && lowerText(v.text) != "mdy")
        throw SqlError(102, 15, 1, "Incorrect syntax near 'DATEFORMAT'. Only ymd and mdy are supported by this server.");
      return st;
    }
    if (option == "transaction") {
      expectWord("isolation");
      expectWord("level");
      while (peek().is("read") || peek().is("committed") || peek().is("uncommitted") || peek().is("repeatable") ||
             peek().is("serializable") || peek().is("snapshot"))
        take();
      return st;
    }
    throw SqlError(195, 15, 1, "'" + option + "' is not a recognized SET option.");
  }

  TranslatedStatement backupStatement() {
    expectWord("backup");
    if (!acceptWord("database")) syntax();
    TranslatedStatement st;
    st.kind = TranslatedStatement::Kind::Backup;
    st.name = name();
    expectWord("to");
    expectWord("disk");
    expectSymbol("=");
    if (peek().kind != Token::Kind::String) syntax();
    st.path = take().text;
    bool init = false;
    if (acceptWord("with")) {
      do {
        const std::string o = lowerText(name());
        if (o == "init" || o == "format") {
          init = true;
        } else if (o == "noinit" || o == "noformat" || o == "skip" || o == "noskip" || o == "checksum" || o == "no_checksum" ||
                   o == "copy_only" || o == "rewind" || o == "norewind" || o == "unload" || o == "nounload") {
        } else if (o == "name" || o == "description" || o == "stats" || o == "mediadescription" || o == "medianame") {
          if (acceptSymbol("=")) take();
        } else {
          throw SqlError(102, 15, 1, "Incorrect syntax near '" + o + "'.");
        }
      } while (acceptSymbol(","));
    }
    // A backup file here holds one database image; appending sets to it is not possible.
    st.flag = init;
    return st;
  }

  std::optional<TranslatedStatement> next() {
    while (acceptSymbol(";")) {
    }
    if (atEnd()) return std::nullopt;
    getdateLiteral.clear();
    TranslatedStatement st;
    const Token& t = peek();
    if (t.is("select")) {
      st = selectStatement(false);
    } else if (t.is("insert")) {
      st = insertStatement();
    } else if (t.is("update")) {
      st = updateStatement();
    } else if (t.is("delete")) {
      st = deleteStatement();
    } else if (t.is("create")) {
      take();
      if (acceptWord("table")) {
        st = createTable();
      } else if (acceptWord("view")) {
        st = createView();
      } else if (acceptWord("schema")) {
        const std::string sch = name();
        if (acceptWord("authorization")) name();
        if (lowerText(sch) == "dbo" || schema.schemaExists(sch))
          unresolved(SqlError(2714, 16, 6, "There is already an object named '" + sch + "' in the database."));
        st.kind = TranslatedStatement::Kind::Ddl;
        st.sql = std::string("INSERT INTO __standin_schemas (name) VALUES (") + quoteText(sch) + ")";
      } else if (acceptWord("database")) {
        st.kind = TranslatedStatement::Kind::CreateDatabase;
        st.name = name();
      } else {
        syntax();
      }
    } else if (t.is("drop")) {
      if (peek(1).is("database")) syntax();
      st = dropStatement();
    } else if (t.is("use")) {
      take();
      st.kind = TranslatedStatement::Kind::Use;
      st.name = name();
    } else if (t.is("set")) {
      st = setStatement();
    } else if (t.is("backup")) {
      st = backupStatement();
    } else if (t.is("if")) {
      take();
      Expr cond = expression();
      if (atEnd() || !startsStatement(peek())) syntax();
      if (peek().is("begin") && !(peek(1).is("tran") || peek(1).is("transaction")))
        throw SqlError(102, 15, 1, "Incorrect syntax near 'BEGIN'. Statement blocks are not supported by this server.");
      st.kind = TranslatedStatement::Kind::If;
      st.sql = "SELECT CASE WHEN " + cond.sql + " THEN 1 ELSE 0 END";
      return st;
    } else if (t.is("begin") && (peek(1).is("tran") || peek(1).is("transaction"))) {
      take(), take();
      st.kind = TranslatedStatement::Kind::BeginTran;
    } else if (t.is("commit") || t.is("rollback")) {
      st.kind = t.is("commit") ? TranslatedStatement::Kind::CommitTran : TranslatedStatement::Kind::RollbackTran;
      take();
      if (!acceptWord("tran")) acceptWord("transaction");
    } else {
      syntax();
    }
    if (!atEnd() && !peek().isSymbol(";") && !startsStatement(peek()) && !peek().is("else")) syntax();
    return st;
  }

  static bool startsStatement(const Token& t) {
    for (const char* w : kStatementStarts) {
      if (t.is(w)) return true;
    }
    return false;
  }
};

Translator::Translator(const std::vector<Token>& tokens, SchemaView& schema) : impl_(std::make_unique<Impl>(tokens, schema)) {}
Translator::~Translator() = default;
std::optional<TranslatedStatement> Translator::next() { return impl_->next(); }
void Translator::checkOnly() { impl_->dryRun = true; }

bool Translator::acceptElse() {
  while (impl_->acceptSymbol(";")) {
  }
  return impl_->acceptWord("else");
}

}  // namespace standin
