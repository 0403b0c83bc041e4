// A port on 127.0.0.1 that nothing listens on, for connection failures.
#pragma once
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace dorvik::testing {

inline int closedPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
  ::close(s);
  return ntohs(a.sin_port);
}

}  // namespace dorvik::testing
