// PRELOGIN: the client's options and the server's answer (no encryption).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

struct PreLoginRequest {
  std::uint8_t encryption = 0;  // 0 off, 1 on, 2 not supported, 3 required
  bool mars = false;
};

// Throws ProtocolError for a malformed option table.
PreLoginRequest parsePreLogin(std::string_view payload);
// The answer: our version, encryption not supported, no MARS.
std::string preLoginResponse();

}  // namespace standin
