// The standard text-to-integer conversion that ids, ports and integer settings go through.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/error.h"

namespace dorvik {

// A text that should have been a whole number was not.
class ConversionError : public Error {
 public:
  using Error::Error;
  const char* className() const noexcept override { return "ConversionError"; }
};

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits
// after "0x", "0X" or "$". Nothing may follow the digits, and the value must
// fit a 32-bit signed integer. Returns nothing for any other text.
std::optional<std::int32_t> tryParseInt32(std::string_view text);

// As tryParseInt32, but throws ConversionError "'<text>' is not a valid integer value".
std::int32_t parseInt32(std::string_view text);

}  // namespace dorvik
