// The scrambler: key derivation, rotuj, and sifruj on the cases that matter.
#include "core/scrambler.h"

#include <gtest/gtest.h>

#include "core/md5hex.h"

namespace dorvik {
namespace {

TEST(Scrambler, KeyFromThePassPhrase) {
  EXPECT_EQ(md5hex(kPassPhrase), "91B004A20F242A840F4CEE5F926596EF");
  EXPECT_EQ(scramblerKey(kPassPhrase, 1), "46O559N75S797N395S9PRR0S471041RS");
  const std::string longKey = scramblerKey(kPassPhrase, 33);
  ASSERT_EQ(longKey.size(), 64u);
  EXPECT_EQ(longKey.substr(32), rotuj(md5hex(longKey.substr(0, 32)))) << "each extension hashes the key so far";
  EXPECT_EQ(scramblerKey(kPassPhrase, 65).substr(64), rotuj(md5hex(scramblerKey(kPassPhrase, 64))));
}

TEST(Scrambler, Rotuj) {
  EXPECT_EQ(rotuj("0123456789"), "5678901234");
  EXPECT_EQ(rotuj("AMNZamnz"), "NZAMnzam");
  EXPECT_EQ(rotuj("-+ ~ěř"), "-+ ~ěř");
}

TEST(Scrambler, ShiftsPrintableAsciiByTheKeyOfItsPosition) {
  // Key starts "46O5": '4' = 52, '6' = 54, 'O' = 79, '5' = 53.
  const std::string expected{char(32 + 52), char(32 + 54), char(32 + 79), char(32 + 53)};
  EXPECT_EQ(sifruj("    ", kPassPhrase, true), expected);
  // '~' (code 126) plus 52 wraps around within 32..126.
  EXPECT_EQ(sifruj("~", kPassPhrase, true), std::string(1, char(32 + (94 + 52) % 95)));
}

TEST(Scrambler, RoundTripKeepsLengthsAndUnshiftedCharacters) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"empty", ""},
      {"ascii", "[con]\r\nheslole=tajne heslo 123\r\n"},
      {"czech", "osobale=Příliš žluťoučký kůň úpěl ďábelské ódy"},
      {"outside the BMP", "a\xF0\x9F\x98\x80z\xF0\x9F\x8E\x89!"},
      {"longer than the first key", std::string(200, 'x') + "\r\n" + std::string(100, '~')},
      {"every printable", [] {
         std::string s;
         for (int c = 32; c <= 126; ++c) s.push_back(static_cast<char>(c));
         return s;
       }()},
  };
  for (const Case& c : cases) {
    const std::string scrambled = sifruj(c.text, kPassPhrase, true);
    EXPECT_EQ(sifruj(scrambled, kPassPhrase, false), c.text) << c.name;
    EXPECT_EQ(scrambled.size(), c.text.size()) << c.name;
    for (size_t i = 0; i < c.text.size(); ++i) {
      const auto ch = static_cast<unsigned char>(c.text[i]);
      const auto out = static_cast<unsigned char>(scrambled[i]);
      if (ch < 32 || ch > 126) ASSERT_EQ(out, ch) << c.name << " byte " << i;
      else ASSERT_TRUE(out >= 32 && out <= 126) << c.name << " byte " << i;
    }
  }
}

TEST(Scrambler, NonAsciiCharactersUseUpKeyPositions) {
  // The 'x' after "ř" (one UTF-16 unit) sits at position 2; after an emoji (two units) at position 3.
  const std::string key = scramblerKey(kPassPhrase, 4);
  auto shifted = [&](size_t position) { return static_cast<char>(32 + ('x' - 32 + key[position]) % 95); };
  EXPECT_EQ(sifruj("řx", kPassPhrase, true), std::string("ř") + shifted(1));
  EXPECT_EQ(sifruj("\xF0\x9F\x98\x80x", kPassPhrase, true), std::string("\xF0\x9F\x98\x80") + shifted(2));
}

TEST(Scrambler, AnotherPhraseGivesOtherText) {
  const std::string scrambled = sifruj("heslole=abc", kPassPhrase, true);
  EXPECT_NE(sifruj(scrambled, "OtherPhrase!", false), "heslole=abc");
}

}  // namespace
}  // namespace dorvik
