// One client connection: PRELOGIN, LOGIN7, then SQL batches, RPC requests and attention signals.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "catalog.h"
#include "executor.h"

namespace standin {

struct ServerSettings {
  ServerIdentity identity;
  // Accepted logins; when empty every login is accepted.
  std::vector<std::pair<std::string, std::string>> logins;
};

// Serves the connection on fd until the client leaves or sends something
// malformed; never throws. The caller owns and closes fd.
void serveConnection(int fd, Catalog& catalog, const ServerSettings& settings, int spid);

// Handles one already-read client message, for tests of the message handling
// without a socket: returns the response payload (type 4), empty if none.
class SessionCore {
 public:
  SessionCore(Catalog& catalog, const ServerSettings& settings, int spid);
  // Throws ProtocolError when the connection must be closed.
  std::string handle(std::uint8_t type, const std::string& payload);
  bool loggedIn() const { return loggedIn_; }
  bool closing() const { return closing_; }
  std::size_t packetSize() const { return packetSize_; }

 private:
  std::string login(const std::string& payload);
  std::string rpc(const std::string& payload);

  Catalog& catalog_;
  const ServerSettings& settings_;
  Executor executor_;
  bool preLoginSeen_ = false;
  bool loggedIn_ = false;
  bool closing_ = false;
  std::size_t packetSize_ = 4096;
  std::vector<std::pair<std::string, std::string>> prepared_;  // handle -> (declarations, text) of sp_prepare
};

}  // namespace standin
