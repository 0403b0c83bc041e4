// MD5 digest as upper-case hex text; derives the settings scrambler's key.
#pragma once
#include <string>
#include <string_view>

namespace dorvik {

// MD5 of the text, one byte per character, as 32 upper-case hexadecimal digits.
std::string md5hex(std::string_view text);

}  // namespace dorvik
