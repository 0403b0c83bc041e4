// Unit tests of the value rules the translator relies on: datetime arithmetic, the default collation, tokens.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sql_datetime.h"
#include "sql_error.h"
#include "sql_lexer.h"
#include "sql_type.h"
#include "text.h"

namespace standin {
namespace {

TEST(DateTimeValues, CountDaysFrom1900AndRoundToDatetimeTicks) {
  struct Case {
    const char* text;
    double days;
    const char* formatted;
  } cases[] = {
      {"1900-01-01", 0, "1900-01-01 00:00:00.000"},
      {"1899-12-30 08:10", -2 + (8 * 60 + 10) / 1440.0, "1899-12-30 08:10:00.000"},
      {"2024-02-29T12:00:00", 45349.5, "2024-02-29 12:00:00.000"},
      {"20240301", 45350, "2024-03-01 00:00:00.000"},
      {"2024-05-06 23:59:59.998", 45416 + 25919999.0 / 25920000, "2024-05-06 23:59:59.997"},
      {"2024-05-06 23:59:59.999", 45417, "2024-05-07 00:00:00.000"},
  };
  for (const Case& c : cases) {
    auto d = parseDateTime(c.text);
    ASSERT_TRUE(d) << c.text;
    EXPECT_NEAR(*d, c.days, 1e-9) << c.text;
    EXPECT_EQ(formatDateTime(*d), c.formatted) << c.text;
  }
  for (const char* bad : {"2024-02-30", "2023-13-01", "yesterday", "2024-05-06 25:00", "1700-01-01"}) {
    EXPECT_FALSE(parseDateTime(bad)) << bad;
  }
}

TEST(DateTimeValues, DifferenceOfTwoDatetimesIsDays) {
  const double due = *parseDateTime("2024-05-12 08:00");
  const double now = *parseDateTime("2024-05-06 08:10");
  EXPECT_LT(due - now, 7);
  EXPECT_GT(due - now, 5.99);
}

TEST(DefaultCollation, FoldsCaseKeepsAccentsIgnoresTrailingBlanks) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"Jana", "JANA", 0}, {"jana  ", "Jana", 0}, {"Žofie", "žofie", 0}, {"ŘEŠÍ", "řeší", 0},
      {"Zofie", "Žofie", -1}, {" jana", "jana", -1}, {"a", "B", -1}, {"", "   ", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(collationCompare(c.a, c.b), c.expected) << c.a << " / " << c.b;
}

TEST(TextConversion, Utf16AndCodePage1252RoundTrip) {
  const std::string s = "Příliš žluťoučký kůň 😀";
  EXPECT_EQ(utf16leToUtf8(utf8ToUtf16le(s)), s);
  EXPECT_EQ(utf16Length("a😀"), 3u);
  EXPECT_EQ(utf16Prefix("ab😀c", 3), "ab");
  EXPECT_EQ(cp1252ToUtf8(utf8ToCp1252("café €")), "café €");
  EXPECT_EQ(utf8ToCp1252("ř"), "?");
  EXPECT_EQ(utf16leToUtf8(std::string("\x00\xD8", 2)), "\xEF\xBF\xBD");  // lone surrogate
}

TEST(Tokens, SplitsTsqlIncludingQuotesAndComments) {
  const auto t = tokenize("select [a b], N'it''s', @P1, @@spid -- note\n/* x /* nested */ */ from t where x<>1.5e3");
  std::vector<std::string> texts;
  for (const Token& k : t) texts.push_back(k.text);
  EXPECT_THAT(texts, ::testing::ElementsAre("select", "a b", ",", "it's", ",", "@P1", ",", "@@spid", "from", "t", "where", "x",
                                            "<>", "1.5e3", ""));
  EXPECT_TRUE(t[3].national);
  EXPECT_EQ(t[1].kind, Token::Kind::QuotedName);
  try {
    tokenize("select 'open");
    FAIL();
  } catch (const SqlError& e) {
    EXPECT_EQ(e.number(), 105);
  }
  EXPECT_THROW(tokenize("select 1 /* open"), SqlError);
}

TEST(Types, DeclarationsRoundTrip) {
  for (const char* decl : {"int", "bigint", "bit", "nvarchar(4000)", "nvarchar(-1)", "varchar(20)", "decimal(10,2)", "datetime", "date", "float"}) {
    EXPECT_EQ(SqlType::fromDeclaration(decl).declaration(), decl);
  }
  EXPECT_EQ(SqlType::fromDeclaration("nvarchar(-1)").displayName(), "nvarchar(max)");
  EXPECT_FALSE(SqlType::fromDeclaration("geography").known());
}

}  // namespace
}  // namespace standin
