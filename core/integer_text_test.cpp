// The standard integer conversion.
#include "core/integer_text.h"

#include <gtest/gtest.h>

namespace dorvik {
namespace {

TEST(IntegerText, AcceptsDecimalAndHexSpellings) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"0", 0},          {"15", 15},         {"+7", 7},          {"-12", -12},      {"  1450", 1450},
      {"0x1F", 31},      {"0X1f", 31},       {"$10", 16},        {"-0x10", -16},    {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},      {"007", 7},
  };
  for (const auto& [text, value] : cases) {
    ASSERT_TRUE(tryParseInt32(text).has_value()) << text;
    EXPECT_EQ(*tryParseInt32(text), value) << text;
  }
}

TEST(IntegerText, RefusesEverythingElse) {
  for (const char* text : {"", " ", "abc", "12a", "1 2", "12 ", "1450 ", "2147483648", "-2147483649",
                           "99999999999999999999", "0x", "$", "+", "-", "1.5", "1e3", "0xG", "١٢"}) {
    EXPECT_FALSE(tryParseInt32(text).has_value()) << "'" << text << "'";
  }
}

TEST(IntegerText, ParseErrorQuotesTheText) {
  try {
    parseInt32("x1");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    EXPECT_STREQ(e.className(), "ConversionError");
  }
}

}  // namespace
}  // namespace dorvik
