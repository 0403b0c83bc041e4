// Local date and time, and their text in the user's regional format.
#pragma once
#include <compare>
#include <string>

namespace dorvik {

// A calendar date and time of day as SQL Server's datetime and the local clock carry them.
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  auto operator<=>(const DateTime&) const = default;
};

}  // namespace dorvik

namespace dorvik::platform {

// The current local date and time, to the millisecond.
DateTime localNow();

// Short date and long time in the regional format of the user the program
// runs as. On POSIX that is the LC_TIME locale; the C and POSIX locales,
// which carry no regional format, give the Czech defaults d.M.yyyy and H:mm:ss.
std::string formatShortDate(const DateTime& t);
std::string formatLongTime(const DateTime& t);

// The decimal separator of the user's regional settings (LC_NUMERIC on
// POSIX); the C and POSIX locales give the Czech default ",".
char decimalSeparator();

}  // namespace dorvik::platform
