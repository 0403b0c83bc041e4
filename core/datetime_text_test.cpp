// Date-time text in the regional format, pinned to the locales the tests set.
#include "core/datetime_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace dorvik {
namespace {

// Sets LC_TIME for one test and restores it afterwards.
class TimeLocale {
 public:
  explicit TimeLocale(const char* name) : previous_(std::setlocale(LC_TIME, nullptr)) {
    ok_ = std::setlocale(LC_TIME, name) != nullptr;
  }
  ~TimeLocale() { std::setlocale(LC_TIME, previous_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::string previous_;
  bool ok_ = false;
};

TEST(DateTimeText, PosixLocaleUsesTheCzechDefaults) {
  TimeLocale locale("C");
  EXPECT_EQ(datumcas(DateTime{2026, 3, 7, 8, 5, 9, 250}), "7.3.2026 8:05:09");
  EXPECT_EQ(datumcas(DateTime{2026, 12, 11, 23, 59, 59, 999}), "11.12.2026 23:59:59");
  EXPECT_EQ(datumcas(DateTime{2026, 3, 7, 0, 0, 0, 0}), "7.3.2026") << "midnight shows the date alone";
  EXPECT_EQ(datumcas(DateTime{2026, 3, 7, 0, 0, 0, 1}), "7.3.2026 0:00:00") << "a millisecond past midnight is not midnight";
}

TEST(DateTimeText, FollowsTheUsersLocale) {
  TimeLocale locale("cs_CZ.UTF-8");
  if (!locale.ok()) GTEST_SKIP() << "locale cs_CZ.UTF-8 is not generated on this machine";
  EXPECT_EQ(datumcas(DateTime{2026, 3, 7, 8, 5, 9, 0}), "7.3.2026 08:05:09");
}

}  // namespace
}  // namespace dorvik
