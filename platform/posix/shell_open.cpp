// POSIX face of openWithShell: a double fork, so the started program belongs to no one's process
// group, outlives the caller and never becomes the caller's zombie. A pipe closed on exec tells
// the caller whether the exec succeeded.
#include "platform/shell_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/error.h"

extern char** environ;

namespace dorvik::platform {
namespace {

// The first directory of PATH holding an executable `name`, or "".
std::string findInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = dirs.find(':', start);
    const std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string::npos) return "";
    start = colon + 1;
  }
}

// Starts argv detached; returns 0 or the errno of the failed fork or exec.
int startDetached(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t middle = ::fork();
  if (middle < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return error;
  }
  if (middle == 0) {
    // Only async-signal-safe calls from here on.
    ::close(report[0]);
    ::setsid();
    const pid_t program = ::fork();
    if (program < 0) {
      const int error = errno;
      (void)!::write(report[1], &error, sizeof error);
      ::_exit(1);
    }
    if (program > 0) ::_exit(0);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      if (null > 2) ::close(null);
    }
    ::execve(argv[0], argv.data(), environ);
    const int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  // End of file: the exec closed the pipe; otherwise the child's errno arrives.
  int error = 0;
  ssize_t n;
  while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return n == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

void openWithShell(const std::string& path) {
  struct stat st {};
  if (path.empty()) throw Error("Cannot open a file without a name");
  if (::stat(path.c_str(), &st) != 0) throw Error("Cannot open " + path + ": " + std::strerror(errno));
  int error = 0;
  if (S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0) {
    error = startDetached({path});
  } else {
    const std::string opener = findInPath("xdg-open");
    if (opener.empty()) throw Error("Cannot open " + path + ": it is not a program and xdg-open is not installed");
    error = startDetached({opener, path});
  }
  if (error != 0) throw Error("Cannot start " + path + ": " + std::strerror(error));
}

}  // namespace dorvik::platform
