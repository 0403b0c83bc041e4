// Conversions at the text edges: UTF-8, UTF-16 and Windows-1250.
#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace dorvik::platform {
namespace {

TEST(TextCodec, Utf8AndUtf16RoundTrip) {
  for (const std::string text : {"", "abc", "Příliš žluťoučký kůň", "emoji \xF0\x9F\x98\x80 end"}) {
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text)), text);
  }
  EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u) << "a character outside the BMP is a surrogate pair";
}

TEST(TextCodec, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(utf8ToUtf16("a\xC5"), u"a\uFFFD") << "truncated sequence at the end";
  EXPECT_EQ(utf16ToUtf8(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x\xEF\xBF\xBDy") << "lone surrogate";
}

TEST(TextCodec, AnsiIsWindows1250) {
  // "Šťastný kůň" in Windows-1250.
  EXPECT_EQ(ansiToUtf8("\x8A\x9D" "astn\xFD k\xF9\xF2"), "Šťastný kůň");
}

}  // namespace
}  // namespace dorvik::platform
