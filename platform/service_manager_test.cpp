// The POSIX face of the service manager where no systemd runs (as on our build machines), and the administrator check.
#include "platform/service_manager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/admin_rights.h"

namespace dorvik::platform {
namespace {

constexpr std::uint32_t kOpenAccess = scm_access::kConnect | scm_access::kEnumerateService;

TEST(ServiceManagerFace, WithoutSystemdOpeningFailsWithAClearErrorInsteadOfAnyState) {
  if (std::filesystem::is_directory("/run/systemd/system")) GTEST_SKIP() << "systemd runs on this machine";
  for (const std::uint32_t access : {kOpenAccess, kOpenAccess | scm_access::kLock}) {
    try {
      openServiceManager("", access);
      ADD_FAILURE() << "opened with access " << access;
    } catch (const OsError& e) {
      EXPECT_EQ(e.code(), scm_error::kServerUnavailable);
      EXPECT_STREQ(e.what(),
                   "Cannot open the service manager: no service manager is running on this computer (systemd was not "
                   "found).");
    }
  }
}

TEST(ServiceManagerFace, AnotherComputersManagerCannotBeReached) {
  try {
    openServiceManager("werkstatt-pc", kOpenAccess);
    ADD_FAILURE() << "opened";
  } catch (const OsError& e) {
    EXPECT_EQ(e.code(), scm_error::kServerUnavailable);
    EXPECT_STREQ(e.what(), "Cannot open the service manager of werkstatt-pc: only this computer's systemd can be reached.");
  }
}

TEST(AdministratorRights, AreTheEffectiveRootUser) { EXPECT_EQ(hasAdministratorRights(), ::geteuid() == 0); }

}  // namespace
}  // namespace dorvik::platform
