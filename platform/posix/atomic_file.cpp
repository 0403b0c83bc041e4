// POSIX face of replaceFileAtomically(): mkstemp, fsync, rename, fsync of the folder.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/error.h"

namespace dorvik::platform {
namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int err) {
  throw FileError(std::string(what) + " \"" + path + "\": " + std::strerror(err));
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

}  // namespace

void replaceFileAtomically(const std::string& path, std::string_view bytes, bool ownerOnly) {
  std::string pattern = path + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());  // creates the file with mode 0600
  if (fd < 0) fail("Cannot create file", pattern, errno);
  const std::string tempPath(name.data());

  auto abandon = [&](const char* what, int err) {
    ::close(fd);
    ::unlink(tempPath.c_str());
    fail(what, path, err);
  };

  if (!ownerOnly) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) abandon("Cannot set permissions of file", errno);
  }
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon("Cannot write file", errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) abandon("Cannot flush file", errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tempPath.c_str());
    fail("Cannot close file", path, err);
  }
  if (::rename(tempPath.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(tempPath.c_str());
    fail("Cannot replace file", path, err);
  }
  // Make the rename itself durable; a failure here leaves a complete file either way.
  const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace dorvik::platform
