// Text conversions and the default collation's comparison.
#include "text.h"

#include <array>
#include <cstdint>
#include <vector>

namespace standin {
namespace {

// Decodes one code point from UTF-8 at pos; malformed input yields U+FFFD and advances one byte.
char32_t decodeUtf8(std::string_view s, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  auto cont = [&](std::size_t i) -> int {
    if (pos + i >= s.size()) return -1;
    const auto b = static_cast<unsigned char>(s[pos + i]);
    return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
  };
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  if ((b0 & 0xE0) == 0xC0) {
    const int c1 = cont(1);
    if (c1 >= 0 && b0 >= 0xC2) {
      pos += 2;
      return static_cast<char32_t>(((b0 & 0x1F) << 6) | c1);
    }
  } else if ((b0 & 0xF0) == 0xE0) {
    const int c1 = cont(1), c2 = cont(2);
    if (c1 >= 0 && c2 >= 0) {
      const auto cp = static_cast<char32_t>(((b0 & 0x0F) << 12) | (c1 << 6) | c2);
      if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
        pos += 3;
        return cp;
      }
    }
  } else if ((b0 & 0xF8) == 0xF0) {
    const int c1 = cont(1), c2 = cont(2), c3 = cont(3);
    if (c1 >= 0 && c2 >= 0 && c3 >= 0) {
      const auto cp = static_cast<char32_t>(((b0 & 0x07) << 18) | (c1 << 12) | (c2 << 6) | c3);
      if (cp >= 0x10000 && cp <= 0x10FFFF) {
        pos += 4;
        return cp;
      }
    }
  }
  ++pos;
  return 0xFFFD;
}

void encodeUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void putUnit(std::string& out, std::uint32_t u) {
  out.push_back(static_cast<char>(u & 0xFF));
  out.push_back(static_cast<char>((u >> 8) & 0xFF));
}

// Characters 0x80..0x9F of code page 1252 (0 where undefined).
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t foldLower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  // Latin Extended-A: pairs of upper (even or odd) and lower case letters.
  if (c >= 0x100 && c <= 0x137) return c | 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

char32_t foldUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x137) return c & ~char32_t{1};
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177) return c & ~char32_t{1};
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

template <typename F>
std::string mapText(std::string_view utf8, F f) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) encodeUtf8(f(decodeUtf8(utf8, pos)), out);
  return out;
}

}  // namespace

std::string utf8ToUtf16le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = decodeUtf8(utf8, pos);
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      putUnit(out, 0xD800 + (v >> 10));
      putUnit(out, 0xDC00 + (v & 0x3FF));
    } else {
      putUnit(out, cp);
    }
  }
  return out;
}

std::string utf16leToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    encodeUtf8(u, out);
  }
  if (bytes.size() % 2 != 0) encodeUtf8(0xFFFD, out);
  return out;
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < utf8.size();) n += decodeUtf8(utf8, pos) >= 0x10000 ? 2 : 1;
  return n;
}

std::string utf16Prefix(std::string_view utf8, std::size_t n) {
  std::size_t units = 0, pos = 0;
  while (pos < utf8.size()) {
    std::size_t next = pos;
    const std::size_t w = decodeUtf8(utf8, next) >= 0x10000 ? 2 : 1;
    if (units + w > n) break;
    units += w;
    pos = next;
  }
  return std::string(utf8.substr(0, pos));
}

std::string utf8ToCp1252(std::string_view utf8) {
  std::string out;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = decodeUtf8(utf8, pos);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char c = '?';
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
      if (kCp1252High[i] != 0 && kCp1252High[i] == cp) c = static_cast<char>(0x80 + i);
    }
    out.push_back(c);
  }
  return out;
}

std::string cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = kCp1252High[b - 0x80] != 0 ? kCp1252High[b - 0x80] : 0xFFFD;
    encodeUtf8(cp, out);
  }
  return out;
}

std::string collationKey(std::string_view utf8) {
  std::size_t end = utf8.size();
  while (end > 0 && utf8[end - 1] == ' ') --end;
  return mapText(utf8.substr(0, end), foldLower);
}

int collationCompare(std::string_view a, std::string_view b) {
  const std::string ka = collationKey(a), kb = collationKey(b);
  const int c = ka.compare(kb);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string lowerText(std::string_view utf8) { return mapText(utf8, foldLower); }
std::string upperText(std::string_view utf8) { return mapText(utf8, foldUpper); }

}  // namespace standin
