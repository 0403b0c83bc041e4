// POSIX face of the shared-file helpers: O_APPEND writes under an exclusive flock.
#include "platform/file_append.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error.h"

namespace dorvik::platform {
namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int err) {
  throw FileError(std::string(what) + " \"" + path + "\": " + std::strerror(err));
}

// Owns a file descriptor.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

void appendToFile(const std::string& path, std::string_view bytes) {
  Fd f{::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)};
  if (f.fd < 0) fail("Cannot open file", path, errno);
  // The lock keeps long lines whole even where a single write() could be split.
  while (::flock(f.fd, LOCK_EX) != 0) {
    if (errno != EINTR) fail("Cannot lock file", path, errno);
  }
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(f.fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("Cannot write file", path, errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::close(f.fd) != 0) {
    f.fd = -1;
    fail("Cannot close file", path, errno);
  }
  f.fd = -1;
}

std::string readWholeFile(const std::string& path) {
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) fail("Cannot open file", path, errno);
  std::string out;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(f.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("Cannot read file", path, errno);
    }
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  return out;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace dorvik::platform
