// sendmailunit: the address check and posliemail, the mail sender shared by the runner and the setup tool.
#pragma once
#include <string>
#include <string_view>

#include "core/mail/mail_error_box.h"

namespace dorvik {

// True when every character is an ASCII letter, a digit, "-", "." or "_"; true for "".
bool overznaky(std::string_view text);

// True for a plausible address: an "@" (the first one splits), a non-empty local
// part, a domain of at least 5 characters whose first "." lies at least two
// characters before its end, and both halves pass overznaky.
bool overemail(std::string_view address);

// Sends one message over SMTP, implicit TLS 1.2 first and plain SMTP if that
// connection cannot be made. `result` is empty on success, otherwise the reason
// (with the server's enhanced status code after CR LF "--" CR LF when it gave
// one); unless `silent`, a failure is also shown through the mail error box.
// Throws ConversionError for a port text that is not a whole number, RangeError
// for a port outside 0..65535 and FileError for an HTML file that exists but
// cannot be read; nothing has been sent then.
void posliemail(std::string_view host, std::string_view port, std::string_view user, std::string_view password,
                std::string_view fromName, std::string_view fromAddress, std::string_view recipients,
                std::string_view subject, std::string_view body, std::string_view htmlFile,
                std::string_view attachment, bool silent, std::string& result);

}  // namespace dorvik
