// Message templates: "<column>" placeholders filled from the order or device row a reminder is about.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/db/connection.h"

namespace dorvik {

// Replaces every occurrence of `placeholder` in `text`, ignoring ASCII letter
// case, without rescanning the inserted value.
std::string nahradvse(std::string_view text, std::string_view placeholder, std::string_view value);

// Fills the template from the row of `opravy` (kind "zakazka", looked up by
// cislozakazky) or `devices` (kind "zarizeni", by devicenumber) with key
// `klic`, column by column in the order of the result. Another kind, or no
// row, gives the template unchanged. Query errors reach the caller.
std::string naplnsablonu(std::string_view sablona, std::string_view druh, std::int64_t klic, db::Connection& con);

}  // namespace dorvik
