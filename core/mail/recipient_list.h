// The recipients text of posliemail split into the addresses that get an RCPT each.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dorvik {

// Splits at ";" and ",", trims each item and drops empty ones, so trailing or
// doubled separators add no recipient. An item "Name <address>" gives the address.
std::vector<std::string> parseRecipients(std::string_view text);

}  // namespace dorvik
