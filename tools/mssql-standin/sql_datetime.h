// Date-times as the server keeps them: days since 1900-01-01 as a real, as SQL Server's datetime counts them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

// A datetime value is stored as days since 1900-01-01 00:00 with the time as
// the fraction, so datetime minus datetime is a number of days, and datetime
// plus a number moves it by days, exactly as SQL Server's datetime arithmetic.
struct CivilTime {
  int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

constexpr std::int64_t kTicksPerDay = 25920000;  // datetime counts 1/300 seconds

std::int64_t daysFromCivil(int year, int month, int day);
void civilFromDays(std::int64_t days, int& year, int& month, int& day);

double toDays(const CivilTime& t);
CivilTime toCivil(double days);
// Whole days and 1/300-second ticks of a datetime, rounded as datetime rounds.
void toDaysAndTicks(double days, std::int32_t& wholeDays, std::uint32_t& ticks);
double fromDaysAndTicks(std::int32_t wholeDays, std::uint32_t ticks);

// Accepts 'YYYY-MM-DD', 'YYYYMMDD', with ' HH:MM[:SS[.fff]]' or 'THH:MM:SS' after it, or 'HH:MM[:SS]' alone (day 1900-01-01).
std::optional<double> parseDateTime(std::string_view text);
std::string formatDateTime(double days);  // YYYY-MM-DD HH:MM:SS.mmm
std::string formatDate(double days);      // YYYY-MM-DD

// The server's clock: the system's local time, or a set start that runs on.
class ServerClock {
 public:
  static void start(std::optional<double> startDays);
  static double now();
};

}  // namespace standin
