// The error a client sees: SQL Server's number, state, class and message text.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace standin {

class SqlError : public std::runtime_error {
 public:
  SqlError(std::int32_t number, std::uint8_t severity, std::uint8_t state, std::string message)
      : std::runtime_error(message), number_(number), severity_(severity), state_(state) {}
  std::int32_t number() const { return number_; }
  std::uint8_t severity() const { return severity_; }
  std::uint8_t state() const { return state_; }

 private:
  std::int32_t number_;
  std::uint8_t severity_;
  std::uint8_t state_;
};

// A broken or hostile packet: the connection that sent it is closed.
class ProtocolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline SqlError syntaxError(const std::string& near) {
  return SqlError(102, 15, 1, "Incorrect syntax near '" + near + "'.");
}

}  // namespace standin
