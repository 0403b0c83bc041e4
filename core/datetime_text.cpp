// datumcas.
#include "core/datetime_text.h"

namespace dorvik {

std::string datumcas(const DateTime& t) {
  const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0 && t.millisecond == 0;
  if (midnight) return platform::formatShortDate(t);
  return platform::formatShortDate(t) + " " + platform::formatLongTime(t);
}

}  // namespace dorvik
