// trimmed and hasControlCharacter.
#include "core/mail/mail_text.h"

namespace dorvik {
namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

bool hasControlCharacter(std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 0x7F) return true;
  }
  return false;
}

}  // namespace dorvik
