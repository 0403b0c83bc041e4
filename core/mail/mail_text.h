// Small text helpers of the mail sender: trimming and the control-character test.
#pragma once
#include <string_view>

namespace dorvik {

// Without leading and trailing blanks and control characters (everything up to " ").
std::string_view trimmed(std::string_view text);

// True when the text holds a control character (below " ", or DEL), which would
// break an SMTP command line or a header.
bool hasControlCharacter(std::string_view text);

}  // namespace dorvik
