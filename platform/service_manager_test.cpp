// The POSIX face of the service manager where no systemd runs (as on our build machines), and the administrator check.
#include "platform/service_manager.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
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

TEST(AdministratorRights, AreGoneOnceRootIsDropped) {
  if (::geteuid() != 0) GTEST_SKIP() << "runs as root only, to drop the rights";
  // In a child, so that the test program keeps its own rights.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setresuid(65534, 65534, 65534) != 0) ::_exit(2);  // nobody
    ::_exit(hasAdministratorRights() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: still an administrator; 2: the rights could not be dropped";
}

}  // namespace
}  // namespace dorvik::platform
