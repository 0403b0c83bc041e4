// POSIX face of runInConsoleSession(): posix_spawn and waitpid.
#include "platform/console_launch.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace dorvik::platform {

LaunchOutcome runInConsoleSession(const std::string& path) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // The service blocks its stop signals in every thread; the runner must not inherit that.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGINT);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) return LaunchOutcome{false, std::strerror(rc)};
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return LaunchOutcome{true, {}};
}

}  // namespace dorvik::platform
