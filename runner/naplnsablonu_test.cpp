// The placeholder replacement of message templates.
#include "runner/naplnsablonu.h"

#include <gtest/gtest.h>

namespace dorvik {
namespace {

TEST(Nahradvse, CaseInsensitiveWithoutRescanning) {
  struct Case {
    const char* text;
    const char* placeholder;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"Zakázka <cislozakazky> je hotova", "<cislozakazky>", "1042", "Zakázka 1042 je hotova"},
      {"<CisloZakazky>/<CISLOZAKAZKY>", "<cislozakazky>", "7", "7/7"},
      {"<a><a>", "<a>", "<a>x", "<a>x<a>x"},
      {"bez zástupce", "<a>", "x", "bez zástupce"},
      {"<a", "<a>", "x", "<a"},
      {"<jmeno>", "<jmeno>", "", ""},
      {"Příliš <kůň>", "<kůň>", "žluťoučký", "Příliš žluťoučký"},
  };
  for (const Case& c : cases) EXPECT_EQ(nahradvse(c.text, c.placeholder, c.value), c.expected) << c.text;
}

}  // namespace
}  // namespace dorvik
