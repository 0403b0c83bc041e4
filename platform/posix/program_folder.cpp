// POSIX face of programFolder(): resolves /proc/self/exe.
#include "platform/program_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace dorvik::platform {

std::string programFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
      throw std::runtime_error(std::string("Cannot determine the program folder: ") + std::strerror(errno));
    }
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<size_t>(n));
      return path.substr(0, path.rfind('/') + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

char pathSeparator() { return '/'; }

}  // namespace dorvik::platform
