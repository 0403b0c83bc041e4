// Win32 face of hasAdministratorRights(): membership of the Administrators group.
#include "platform/admin_rights.h"

#include <windows.h>

#include "platform/os_error.h"

namespace dorvik::platform {

bool hasAdministratorRights() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators)) {
    throw lastOsError();
  }
  BOOL member = FALSE;
  // No token: the calling thread's effective one (its impersonation token, else the process's).
  const bool ok = CheckTokenMembership(nullptr, administrators, &member) != FALSE;
  FreeSid(administrators);
  return ok && member != FALSE;
}

}  // namespace dorvik::platform
