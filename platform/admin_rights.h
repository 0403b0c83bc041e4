// Whether the program runs with the rights that managing the service needs.
#pragma once

namespace dorvik::platform {

// Win32: the calling thread's effective token is a member of the local
// Administrators group (with user account control, only an elevated one is);
// a SID that cannot be built throws OsError, a failed membership test gives
// false. POSIX: the effective user is root, who alone may manage the systemd unit.
bool hasAdministratorRights();

}  // namespace dorvik::platform
