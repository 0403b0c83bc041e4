// Whether the machine has a network connection at all (not whether a given server is reachable).
#pragma once

namespace dorvik::platform {

// Windows: the system's connected-state query. Elsewhere: some interface other than loopback is up
// and has an address. False when the system cannot tell; never throws.
bool networkConnected();

}  // namespace dorvik::platform
