// parseRecipients.
#include "core/mail/recipient_list.h"

#include "core/mail/mail_text.h"

namespace dorvik {

std::vector<std::string> parseRecipients(std::string_view text) {
  std::vector<std::string> result;
  std::size_t start = 0;
  while (start <= text.size()) {
    const auto end = text.find_first_of(";,", start);
    auto item = trimmed(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (!item.empty() && item.back() == '>') {
      if (const auto open = item.rfind('<'); open != std::string_view::npos)
        item = trimmed(item.substr(open + 1, item.size() - open - 2));
    }
    if (!item.empty()) result.emplace_back(item);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return result;
}

}  // namespace dorvik
