// headerText, mailbox, addressList and headerDate.
#include "core/mail/header_encoding.h"

#include <openssl/evp.h>

#include <ctime>

namespace dorvik {
namespace {

// Beyond this the line would need folding, which encoded-words give us for free.
constexpr std::size_t kLongestPlainHeader = 900;
// 45 bytes make 60 base64 characters; with "=?UTF-8?B?" and "?=" a word stays under 75.
constexpr std::size_t kBytesPerWord = 45;

bool isPlainAscii(std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) return false;
  }
  // "=?" would make a reader take the text for an encoded-word.
  return text.find("=?") == std::string_view::npos;
}

std::string base64(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string encodedWords(std::string_view utf8) {
  std::string out;
  while (!utf8.empty()) {
    std::size_t take = std::min(kBytesPerWord, utf8.size());
    // Step back to a character start; a run of stray continuation bytes longer
    // than a word is cut anyway rather than looping.
    std::size_t cut = take;
    while (cut > 0 && cut < utf8.size() && isContinuationByte(utf8[cut])) --cut;
    if (cut > 0) take = cut;
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + base64(utf8.substr(0, take)) + "?=";
    utf8.remove_prefix(take);
  }
  return out;
}

}  // namespace

std::string headerText(std::string_view utf8) {
  if (isPlainAscii(utf8) && utf8.size() <= kLongestPlainHeader) return std::string(utf8);
  return encodedWords(utf8);
}

std::string mailbox(std::string_view displayName, std::string_view address) {
  if (displayName.empty()) return std::string(address);
  std::string name;
  if (isPlainAscii(displayName) && displayName.size() <= kLongestPlainHeader) {
    name = "\"";
    for (const char c : displayName) {
      if (c == '"' || c == '\\') name += '\\';
      name += c;
    }
    name += "\"";
  } else {
    name = encodedWords(displayName);
  }
  return name + " <" + std::string(address) + ">";
}

std::string addressList(const std::vector<std::string>& addresses) {
  std::string out;
  for (const auto& a : addresses) {
    if (!out.empty()) out += ",\r\n ";
    out += a;
  }
  return out;
}

std::string headerDate(std::chrono::system_clock::time_point when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
#ifdef _WIN32
  gmtime_s(&tm, &t);
#else
  gmtime_r(&t, &tm);
#endif
  // Names from fixed tables: strftime would follow the user's locale.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[tm.tm_wday], tm.tm_mday,
                kMonths[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

}  // namespace dorvik
