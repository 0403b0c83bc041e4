// POSIX face of the process list: /proc; ending is SIGKILL, the counterpart of an immediate termination.
#include "platform/processes.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

#include "platform/error.h"

namespace dorvik::platform {
namespace {

struct DirCloser {
  void operator()(DIR* d) const noexcept { ::closedir(d); }
};

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's name: the file behind /proc/PID/exe when we may read it, else argv[0], else comm.
std::string executableName(const std::string& folder) {
  char target[4096];
  const ssize_t n = ::readlink((folder + "/exe").c_str(), target, sizeof target);
  if (n > 0 && static_cast<std::size_t>(n) < sizeof target) {
    std::string path(target, static_cast<std::size_t>(n));
    // A program file replaced while it runs is listed as "<path> (deleted)"; its name is still <path>'s.
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
      path.resize(path.size() - deleted.size());
    }
    return baseName(path);
  }
  std::ifstream cmdline(folder + "/cmdline", std::ios::binary);
  std::string first;
  if (std::getline(cmdline, first, '\0') && !first.empty()) return baseName(first);
  std::ifstream comm(folder + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

}  // namespace

std::vector<RunningProcess> runningProcesses() {
  std::unique_ptr<DIR, DirCloser> proc(::opendir("/proc"));
  if (!proc) throw Error(std::string("Cannot list the running processes: /proc: ") + std::strerror(errno));
  std::vector<RunningProcess> result;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(proc.get());
    if (entry == nullptr) {
      if (errno != 0) throw Error(std::string("Cannot list the running processes: /proc: ") + std::strerror(errno));
      break;
    }
    char* end = nullptr;
    const long long pid = std::strtoll(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid <= 0) continue;
    const std::string folder = std::string("/proc/") + entry->d_name;
    std::string name = executableName(folder);
    // A process that ended while the list was taken leaves no name; it is no longer running.
    if (name.empty()) continue;
    result.push_back({pid, std::move(name)});
  }
  return result;
}

bool terminateProcess(std::int64_t pid) {
  // 0 and negative ids would signal whole process groups.
  if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return false;
  return ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
}

}  // namespace dorvik::platform
