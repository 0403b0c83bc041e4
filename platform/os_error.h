// A failed call of the operating system: the system's error code and its own text for it.
#pragma once
#include <cstdint>
#include <string>

#include "platform/error.h"

namespace dorvik {

// what() is the system's message for the code (Win32: FormatMessage, e.g.
// "Access is denied."; POSIX: strerror), unless a caller gave a fuller one.
class OsError : public Error {
 public:
  OsError(std::uint32_t code, const std::string& message) : Error(message), code_(code) {}
  std::uint32_t code() const noexcept { return code_; }
  const char* className() const noexcept override { return "OsError"; }

 private:
  std::uint32_t code_;
};

namespace platform {

// The system's text for an error code, without a trailing line end.
std::string systemMessage(std::uint32_t code);

// An OsError for `code` whose message is the system's text for it.
OsError osError(std::uint32_t code);

// An OsError for the calling thread's last error (Win32: GetLastError, POSIX: errno).
OsError lastOsError();

}  // namespace platform
}  // namespace dorvik
