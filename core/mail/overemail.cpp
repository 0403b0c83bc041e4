// overznaky and overemail: the plausibility check of an e-mail address.
#include "core/mail/sendmailunit.h"

namespace dorvik {

bool overznaky(std::string_view text) {
  for (const char c : text) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                    c == '.' || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool overemail(std::string_view address) {
  const auto at = address.find('@');
  if (at == std::string_view::npos) return false;
  const auto local = address.substr(0, at);
  const auto domain = address.substr(at + 1);
  if (local.empty()) return false;
  if (domain.size() < 5) return false;
  // The first dot, counted from 1, must lie at most at length - 2.
  const auto dot = domain.find('.');
  if (dot == std::string_view::npos || dot + 1 > domain.size() - 2) return false;
  return overznaky(local) && overznaky(domain);
}

}  // namespace dorvik
