// LOGIN7: the client's login record.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

struct Login7 {
  std::uint32_t tdsVersion = 0;
  std::uint32_t packetSize = 4096;
  std::string hostName, userName, password, appName, serverName, libraryName, language, database;
};

// Throws ProtocolError for a record whose fields point outside it.
Login7 parseLogin7(std::string_view payload);
// The password as the client scrambles it, for tests.
std::string scramblePassword(std::string_view utf16le);

}  // namespace standin
