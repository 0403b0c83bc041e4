// parseRecipients: separators, blanks and empty items never give an empty RCPT.
#include <gtest/gtest.h>

#include "core/mail/recipient_list.h"

namespace dorvik {
namespace {

using List = std::vector<std::string>;

TEST(ParseRecipients, SplitsTrimsAndDropsEmptyItems) {
  const std::pair<const char*, List> cases[] = {
      {"a@x.cz", {"a@x.cz"}},
      {"a@x.cz;", {"a@x.cz"}},
      {"a@x.cz;b@y.cz;", {"a@x.cz", "b@y.cz"}},
      {" a@x.cz , b@y.cz ;; c@z.cz,", {"a@x.cz", "b@y.cz", "c@z.cz"}},
      {"\ta@x.cz\r\n;", {"a@x.cz"}},
      {"Jan Novak <a@x.cz>; <b@y.cz>", {"a@x.cz", "b@y.cz"}},
      {";;, ,", {}},
      {"", {}},
      {"<>", {}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(parseRecipients(text), expected) << text;
}

}  // namespace
}  // namespace dorvik
