// POSIX face of hasAdministratorRights(): only root may manage a systemd unit of the system.
#include "platform/admin_rights.h"

#include <unistd.h>

namespace dorvik::platform {

bool hasAdministratorRights() { return ::geteuid() == 0; }

}  // namespace dorvik::platform
