// Win32 face of networkConnected: WinINet's connected-state query, no state flags asked for.
#include "platform/network_state.h"

#include <windows.h>
#include <wininet.h>

namespace dorvik::platform {

bool networkConnected() {
  DWORD flags = 0;
  return InternetGetConnectedState(&flags, 0) != FALSE;
}

}  // namespace dorvik::platform
