// POSIX face of networkConnected: getifaddrs.
#include "platform/network_state.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace dorvik::platform {

bool networkConnected() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return false;
  bool connected = false;
  for (const ifaddrs* i = list; i != nullptr && !connected; i = i->ifa_next) {
    connected = i->ifa_addr != nullptr && (i->ifa_addr->sa_family == AF_INET || i->ifa_addr->sa_family == AF_INET6) &&
                (i->ifa_flags & IFF_UP) != 0 && (i->ifa_flags & IFF_LOOPBACK) == 0;
  }
  ::freeifaddrs(list);
  return connected;
}

}  // namespace dorvik::platform
