// rotuj, the scrambler key and sifruj.
#include "core/scrambler.h"

#include "core/md5hex.h"
#include "platform/text_codec.h"

namespace dorvik {

std::string rotuj(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= '0' && c <= '4') c = static_cast<char>(c + 5);
    else if (c >= '5' && c <= '9') c = static_cast<char>(c - 5);
    else if ((c >= 'A' && c <= 'M') || (c >= 'a' && c <= 'm')) c = static_cast<char>(c + 13);
    else if ((c >= 'N' && c <= 'Z') || (c >= 'n' && c <= 'z')) c = static_cast<char>(c - 13);
  }
  return out;
}

std::string scramblerKey(std::string_view passPhrase, std::size_t length) {
  std::string key = rotuj(md5hex(passPhrase));
  while (key.size() < length) key += rotuj(md5hex(key));
  return key;
}

std::string sifruj(std::string_view text, std::string_view passPhrase, bool scramble) {
  std::u16string units = platform::utf8ToUtf16(text);
  const std::string key = scramblerKey(passPhrase, units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (c < 32 || c > 126) continue;
    const int k = static_cast<unsigned char>(key[i]);
    const int shifted = scramble ? (c - 32 + k) % 95 : ((c - 32 - k) % 95 + 95) % 95;
    units[i] = static_cast<char16_t>(32 + shifted);
  }
  return platform::utf16ToUtf8(units);
}

}  // namespace dorvik
