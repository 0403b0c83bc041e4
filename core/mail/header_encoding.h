// Header texts of the message: UTF-8 as MIME encoded-words where needed, mailboxes and the date.
#pragma once
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace dorvik {

// The text as a header value: unchanged when it is short printable ASCII,
// otherwise as "=?UTF-8?B?...?=" encoded-words of at most 75 characters, cut
// only between UTF-8 characters and folded onto continuation lines.
std::string headerText(std::string_view utf8);

// "address", or display name and "<address>"; the name quoted when it is
// ASCII, encoded-words when it is not.
std::string mailbox(std::string_view displayName, std::string_view address);

// The To value: the addresses separated by "," and folded, one per line.
std::string addressList(const std::vector<std::string>& addresses);

// The Date value, e.g. "Fri, 11 Dec 2026 08:10:00 +0000".
std::string headerDate(std::chrono::system_clock::time_point when);

}  // namespace dorvik
