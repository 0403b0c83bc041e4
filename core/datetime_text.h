// Date-time text in the user's regional format, as logs and reports show it.
#pragma once
#include <string>

#include "platform/local_time.h"

namespace dorvik {

// Short date, a blank, long time; only the date when the moment is exactly midnight.
std::string datumcas(const DateTime& t);

}  // namespace dorvik
