// tryParseInt32 and parseInt32.
#include "core/integer_text.h"

#include <string>

namespace dorvik {
namespace {

int digitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

}  // namespace

std::optional<std::int32_t> tryParseInt32(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  for (; i < text.size(); ++i) {
    const int d = digitValue(text[i], base);
    if (d < 0) return std::nullopt;
    value = value * base + d;
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t parseInt32(std::string_view text) {
  if (auto v = tryParseInt32(text)) return *v;
  throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace dorvik
