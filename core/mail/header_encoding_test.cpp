// Header texts: when encoded-words are used, their length and where they are cut.
#include <gtest/gtest.h>
#include <openssl/evp.h>


#include "core/mail/header_encoding.h"

namespace dorvik {
namespace {

std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (auto pos = s.find("\r\n"); pos != std::string::npos; pos = s.find("\r\n", start)) {
    out.push_back(s.substr(start, pos - start));
    start = pos + 2;
  }
  out.push_back(s.substr(start));
  return out;
}

bool validUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

std::string decodeWord(std::string word) {
  if (word.rfind(' ', 0) == 0) word.erase(0, 1);  // folding blank
  EXPECT_EQ(word.rfind("=?UTF-8?B?", 0), 0u) << word;
  EXPECT_EQ(word.substr(word.size() - 2), "?=");
  const std::string b64 = word.substr(10, word.size() - 12);
  std::string out(b64.size(), '\0');
  const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(b64.data()), static_cast<int>(b64.size()));
  out.resize(static_cast<std::size_t>(n));
  // EVP_DecodeBlock counts the padding as zero bytes.
  for (auto it = b64.rbegin(); it != b64.rend() && *it == '='; ++it) out.pop_back();
  return out;
}

TEST(HeaderText, LeavesShortPrintableAsciiAlone) {
  EXPECT_EQ(headerText("servis 42"), "servis 42");
  EXPECT_EQ(headerText(""), "");
}

TEST(HeaderText, EncodesWhatAHeaderCannotCarry) {
  for (const char* text : {"P\xC5\x99ipom\xC3\xADnka", "a\r\nBcc: x@y.cz", "looks =?like?= a word"}) {
    const auto h = headerText(text);
    EXPECT_EQ(h.rfind("=?UTF-8?B?", 0), 0u) << text;
    std::string unfolded = h;
    for (auto pos = unfolded.find("\r\n "); pos != std::string::npos; pos = unfolded.find("\r\n ")) unfolded.erase(pos, 2);
    EXPECT_EQ(unfolded.find_first_of("\r\n"), std::string::npos) << "line breaks only as folding: " << h;
  }
}

TEST(HeaderText, CutsLongTextOnlyBetweenCharactersInShortWords) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88 \xE2\x82\xAC ";
  std::string joined;
  for (const auto& line : lines(headerText(text))) {
    EXPECT_LE(line.size(), 76u);
    const auto decoded = decodeWord(line);
    EXPECT_TRUE(validUtf8(decoded)) << line;
    joined += decoded;
  }
  EXPECT_EQ(joined, text);
}

TEST(Mailbox, QuotesAsciiNamesAndEncodesOthers) {
  EXPECT_EQ(mailbox("", "a@x.cz"), "a@x.cz");
  EXPECT_EQ(mailbox("Servis, s.r.o. \"Dorvik\"", "a@x.cz"), "\"Servis, s.r.o. \\\"Dorvik\\\"\" <a@x.cz>");
  EXPECT_EQ(mailbox("Ji\xC5\x99\xC3\xAD", "a@x.cz").rfind("=?UTF-8?B?", 0), 0u);
}

TEST(HeaderDate, IsTheFixedEnglishFormat) {
  // 2026-12-11 08:10:05 UTC, a Friday.
  const auto when = std::chrono::system_clock::from_time_t(1796976605);
  EXPECT_EQ(headerDate(when), "Fri, 11 Dec 2026 08:10:05 +0000");
}

}  // namespace
}  // namespace dorvik
