// The hook through which a non-silent posliemail shows its failure; the setup tool installs the box.
#pragma once
#include <functional>
#include <string>

namespace dorvik {

// Shows `text` to the user in an error box captioned `caption`.
using MailErrorBox = std::function<void(const std::string& text, const std::string& caption)>;

// Installs the box (an empty function removes it). Programs without a window
// install none, and a non-silent failure is then only returned.
void setMailErrorBox(MailErrorBox box);

// Calls the installed box, if any.
void showMailError(const std::string& text, const std::string& caption);

}  // namespace dorvik
