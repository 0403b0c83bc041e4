// overemail and overznaky against the address rules, edge cases included.
#include <gtest/gtest.h>

#include "core/mail/sendmailunit.h"

namespace dorvik {
namespace {

struct AddressCase {
  const char* address;
  bool expected;
  const char* why;
};

TEST(Overemail, FollowsTheAddressRules) {
  const AddressCase cases[] = {
      {"jan.novak@firma.cz", true, "ordinary address"},
      {"a@bb.cc", true, "one-letter local part, five-character domain"},
      {"a@b.cc", false, "domain of four characters"},
      {"a@bbb.c", false, "first dot followed by one character only"},
      {"a@bbb.cc", true, "first dot exactly two before the end"},
      {"a@bbbbbb", false, "domain without a dot"},
      {"a@bbbbb.", false, "domain ending in a dot"},
      {"a@.bbbb", true, "domain beginning with a dot, long enough"},
      {"a@b.c.d.e", true, "only the first dot counts"},
      {"a+b@bb.cc", false, "plus in the local part"},
      {"\xC3\xA1@bb.cc", false, "letter with a diacritic"},
      {"a b@bb.cc", false, "blank inside"},
      {" a@bb.cc", false, "leading blank"},
      {"a@bb.cc ", false, "trailing blank"},
      {"a@b@bb.cc", false, "second @"},
      {"@bb.cc", false, "empty local part"},
      {"abb.cc", false, "no @"},
      {"", false, "empty text"},
      {"a_b-c.d@x-y_z.cz", true, "all allowed characters"},
  };
  for (const auto& c : cases) EXPECT_EQ(overemail(c.address), c.expected) << c.address << ": " << c.why;
}

TEST(Overznaky, AcceptsOnlyLettersDigitsDashDotUnderscore) {
  EXPECT_TRUE(overznaky(""));
  EXPECT_TRUE(overznaky("AZaz09-._"));
  for (const char* bad : {"a b", "a@b", "a+b", "\xC4\x8D", "a\tb", "a,b"}) EXPECT_FALSE(overznaky(bad)) << bad;
}

}  // namespace
}  // namespace dorvik
