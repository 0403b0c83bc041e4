// The settings-file scrambler: a keyed shift of printable ASCII, not encryption.
#pragma once
#include <string>
#include <string_view>

namespace dorvik {

// Pass phrase compiled into all three programs; changing it makes existing settings files unreadable.
inline constexpr std::string_view kPassPhrase = "Dv#7kLq2!mZr";

// Digits shift by 5 and letters by 13, each within its range; everything else is unchanged.
std::string rotuj(std::string_view text);

// Scrambles (`scramble` true) or unscrambles UTF-8 text. Positions count in
// UTF-16 code units, so a character outside the Basic Multilingual Plane uses
// two key positions; only characters 32..126 are shifted.
std::string sifruj(std::string_view text, std::string_view passPhrase, bool scramble);

// The key for a text of `length` code units: rotuj(md5hex(phrase)), extended
// by rotuj(md5hex(key so far)) until long enough.
std::string scramblerKey(std::string_view passPhrase, std::size_t length);

}  // namespace dorvik
