// smtpPort and the two port mappings of the implicit-TLS attempt and the plain fallback.
#include "core/mail/smtp_ports.h"

#include <string>

#include "core/integer_text.h"

namespace dorvik {

int smtpPort(std::string_view text) {
  const std::int32_t port = parseInt32(text);
  if (port < 0 || port > 65535)
    throw RangeError("SMTP port " + std::to_string(port) + " is out of range 0..65535");
  return port;
}

int implicitTlsPort(int port) { return port == 25 || port == 587 ? 465 : port; }

int plainPort(int port) { return port == 465 || port == 587 ? 25 : port; }

}  // namespace dorvik
