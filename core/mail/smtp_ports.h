// The SMTP port: its text, the implicit-TLS and plain mappings, and where a mapped port really is.
#pragma once
#include <string_view>

#include "platform/error.h"

namespace dorvik {

// A port number outside 0..65535.
class RangeError : public Error {
 public:
  using Error::Error;
  const char* className() const noexcept override { return "RangeError"; }
};

// The port text as a number: blanks before the digits allowed. Throws
// ConversionError for a text that is not a whole number (the empty one too)
// and RangeError for a value above 65535 or below 0.
int smtpPort(std::string_view text);

// Switching implicit TLS on turns 25 and 587 into 465; any other port stays.
int implicitTlsPort(int port);

// Switching TLS off turns 465 and 587 into 25; any other port stays.
int plainPort(int port);

// Where the well-known ports the mappings produce are really served. Always
// 25 and 465 in the programs; tests point them at a peer on free ports.
struct PortTargets {
  int port25 = 25;
  int port465 = 465;

  int actual(int port) const {
    if (port == 25) return port25;
    if (port == 465) return port465;
    return port;
  }
};

}  // namespace dorvik
