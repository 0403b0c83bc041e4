// Text conversions at the edges: UTF-8 inside the programs, UTF-16 and the ANSI code page outside.
#pragma once
#include <string>
#include <string_view>

namespace dorvik::platform {

// Malformed input never throws: each bad sequence becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Text in the system's ANSI code page to UTF-8. On POSIX, where no such page
// exists, this is Windows-1250, the Czech one the settings files come from.
std::string ansiToUtf8(std::string_view ansi);

}  // namespace dorvik::platform
