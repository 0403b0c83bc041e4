// POSIX face of the service manager: systemd, asked through systemctl.
//
// A systemd service unit "x.service" is the service "x". Its state comes from
// ActiveState, its start type from UnitFileState; start and stop are queued
// (--no-block) as the Win32 manager queues them, and the state is read back.
#include "platform/service_manager.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

extern char** environ;

namespace dorvik::platform {
namespace {

constexpr std::uint32_t kOwnProcess = 0x10;
constexpr std::uint32_t kAcceptStop = 1;
constexpr std::uint32_t kAcceptShutdown = 4;
constexpr std::uint32_t kStopped = 1, kStartPending = 2, kStopPending = 3, kRunning = 4;
constexpr std::uint32_t kGeneralFailure = 31;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kServiceDisabled = 1058;
constexpr std::uint32_t kServiceSpecificError = 1066;

struct Run {
  int exitCode = -1;
  std::string out, err;
};

// Runs systemctl with `arguments`, without a shell, and collects its output.
Run systemctl(const std::vector<std::string>& arguments) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw lastOsError();
  if (::pipe2(err, O_CLOEXEC) != 0) {
    const OsError e = lastOsError();
    ::close(out[0]), ::close(out[1]);
    throw e;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  std::vector<std::string> words{"systemctl", "--no-pager"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "systemctl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  Run run;
  if (rc == 0) {
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) {
          sinks[i]->append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
          fds[i].fd = -1;
          --open;
        }
      }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(out[0]);
  ::close(err[0]);
  if (rc != 0) throw OsError(static_cast<std::uint32_t>(rc), "Cannot run systemctl: " + systemMessage(static_cast<std::uint32_t>(rc)));
  return run;
}

std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// An order systemctl refused: its own explanation.
[[noreturn]] void refused(const std::string& what, const Run& run) {
  throw OsError(kGeneralFailure, "systemctl " + what + " failed: " + trimmed(run.err.empty() ? run.out : run.err));
}

std::string unitOf(const std::string& service) { return service + ".service"; }

using Properties = std::map<std::string, std::string>;

// `systemctl show` for several units: one block of "Key=value" lines per unit, in the order asked.
std::vector<Properties> show(const std::vector<std::string>& units, const std::string& properties) {
  std::vector<std::string> arguments{"show", "-p", properties, "--"};
  arguments.insert(arguments.end(), units.begin(), units.end());
  const Run run = systemctl(arguments);
  if (run.exitCode != 0) refused("show", run);
  std::vector<Properties> blocks(1);
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) {
      if (!blocks.back().empty()) blocks.emplace_back();
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos) blocks.back()[line.substr(0, eq)] = line.substr(eq + 1);
  }
  if (blocks.back().empty()) blocks.pop_back();
  return blocks;
}

std::string value(const Properties& p, const std::string& key) {
  const auto it = p.find(key);
  return it == p.end() ? std::string() : it->second;
}

// A systemd time span ("1min 30s", "500ms", "infinity") in microseconds; 0 for infinity or an unreadable one.
std::uint64_t timeSpanMicroseconds(const std::string& text) {
  static const std::map<std::string, double> units{{"us", 1},           {"ms", 1e3},     {"s", 1e6},
                                                   {"sec", 1e6},        {"m", 60e6},     {"min", 60e6},
                                                   {"h", 3600e6},       {"d", 86400e6},  {"w", 604800e6}};
  std::istringstream in(text);
  double total = 0;
  for (std::string part; in >> part;) {
    std::size_t digits = 0;
    while (digits < part.size() && (std::isdigit(static_cast<unsigned char>(part[digits])) || part[digits] == '.')) ++digits;
    const auto unit = units.find(part.substr(digits));
    if (digits == 0 || unit == units.end()) return 0;
    total += std::atof(part.substr(0, digits).c_str()) * unit->second;
  }
  return static_cast<std::uint64_t>(total);
}

std::uint64_t monotonicMicroseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

const char* const kStatusProperties =
    "Id,Description,LoadState,ActiveState,ExecMainStatus,StateChangeTimestampMonotonic,TimeoutStartUSec,TimeoutStopUSec";

ServiceStatus statusOf(const Properties& p) {
  ServiceStatus s;
  s.serviceType = kOwnProcess;
  const std::string active = value(p, "ActiveState");
  if (active == "active" || active == "reloading") {
    s.currentState = kRunning;
  } else if (active == "activating") {
    s.currentState = kStartPending;
  } else if (active == "deactivating") {
    s.currentState = kStopPending;
  } else {
    s.currentState = kStopped;
  }
  if (s.currentState == kRunning) s.controlsAccepted = kAcceptStop | kAcceptShutdown;
  if (active == "failed") {
    s.win32ExitCode = kServiceSpecificError;
    s.serviceSpecificExitCode = static_cast<std::uint32_t>(std::atoi(value(p, "ExecMainStatus").c_str()));
  }
  if (s.currentState == kStartPending || s.currentState == kStopPending) {
    // Progress as the Win32 manager reports it: the check point advances each
    // second while the unit is within its time limit and stands still after.
    const std::uint64_t since = std::strtoull(value(p, "StateChangeTimestampMonotonic").c_str(), nullptr, 10);
    const std::uint64_t limit =
        timeSpanMicroseconds(value(p, s.currentState == kStartPending ? "TimeoutStartUSec" : "TimeoutStopUSec"));
    std::uint64_t elapsed = since > 0 ? monotonicMicroseconds() - std::min(since, monotonicMicroseconds()) : 0;
    if (limit > 0) elapsed = std::min(elapsed, limit);
    s.checkPoint = static_cast<std::uint32_t>(elapsed / 1000000u);
    s.waitHint = 1000;
  }
  return s;
}

bool isServiceUnit(const std::string& unit) {
  constexpr std::string_view suffix = ".service";
  // Templates ("x@.service") are no service of their own until instantiated.
  return unit.size() > suffix.size() && unit.ends_with(suffix) && !unit.ends_with("@.service");
}

std::vector<ServiceEntry> entriesOf(const std::vector<std::string>& units) {
  std::vector<ServiceEntry> entries;
  if (units.empty()) return entries;
  for (const Properties& p : show(units, kStatusProperties)) {
    const std::string unit = value(p, "Id");
    if (!isServiceUnit(unit) || value(p, "LoadState") == "not-found") continue;
    entries.push_back(ServiceEntry{unit.substr(0, unit.size() - 8), value(p, "Description"), statusOf(p)});
  }
  return entries;
}

// The first word of each line of a systemctl listing.
std::set<std::string> firstWords(const std::string& listing) {
  std::set<std::string> words;
  std::istringstream in(listing);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string first;
    if (fields >> first && isServiceUnit(first)) words.insert(first);
  }
  return words;
}

[[noreturn]] void throwCode(std::uint32_t code) {
  // The Windows texts, so that the messages callers show are the same everywhere.
  static const std::map<std::uint32_t, const char*> texts{
      {scm_error::kAccessDenied, "Access is denied."},
      {kInvalidParameter, "The parameter is incorrect."},
      {scm_error::kInvalidServiceControl, "The requested control is not valid for this service."},
      {scm_error::kServiceAlreadyRunning, "An instance of the service is already running."},
      {kServiceDisabled,
       "The service cannot be started, either because it is disabled or because it has no enabled devices associated "
       "with it."},
      {scm_error::kServiceDoesNotExist, "The specified service does not exist as an installed service."},
      {scm_error::kServiceNotActive, "The service has not been started."},
  };
  throw OsError(code, texts.at(code));
}

class SystemdService final : public OpenedService {
 public:
  SystemdService(std::string name, std::uint32_t access) : name_(std::move(name)), access_(access) {}

  ServiceStatus queryStatus() override {
    require(service_access::kQueryStatus);
    return statusOf(properties());
  }

  ServiceConfig queryConfig() override {
    require(service_access::kQueryConfig);
    const Properties p = show({unitOf(name_)}, "Id,Description,UnitFileState,ExecStart,User").at(0);
    ServiceConfig c;
    c.serviceType = kOwnProcess;
    const std::string state = value(p, "UnitFileState");
    // A disabled unit can still be started by hand, as an on-demand service can; a masked one cannot.
    c.startType = state.starts_with("enabled") ? 2 : state.starts_with("masked") ? 4 : 3;
    c.errorControl = 1;
    // "{ path=/usr/bin/x ; argv[]=/usr/bin/x -a ; ignore_errors=no ; ... }": the command line is argv[].
    const std::string exec = value(p, "ExecStart");
    const std::size_t from = exec.find("argv[]=");
    if (from != std::string::npos) {
      const std::size_t to = exec.find(" ;", from);
      c.binaryPath = exec.substr(from + 7, to == std::string::npos ? std::string::npos : to - from - 7);
    }
    c.serviceStartName = value(p, "User").empty() ? "root" : value(p, "User");
    c.displayName = value(p, "Description");
    return c;
  }

  void start() override {
    require(service_access::kStart);
    const ServiceStatus s = statusOf(properties());
    if (s.currentState != kStopped) throwCode(scm_error::kServiceAlreadyRunning);
    if (unitFileState().starts_with("masked")) throwCode(kServiceDisabled);
    order({"start", "--no-block", "--", unitOf(name_)});
  }

  ServiceStatus control(ServiceControlCode code) override {
    if (code != ServiceControlCode::kStop) {
      require(service_access::kPauseContinue);
      throwCode(scm_error::kInvalidServiceControl);  // systemd cannot pause a service
    }
    require(service_access::kStop);
    const ServiceStatus s = statusOf(properties());
    if (s.currentState == kStopped) throwCode(scm_error::kServiceNotActive);
    order({"stop", "--no-block", "--", unitOf(name_)});
    return statusOf(properties());
  }

  void changeStartType(std::uint32_t startType) override {
    require(service_access::kChangeConfig);
    if (startType < 2 || startType > 4) throwCode(kInvalidParameter);
    const bool masked = unitFileState().starts_with("masked");
    if (startType == 4) {
      if (!masked) order({"mask", "--", unitOf(name_)});
      return;
    }
    if (masked) order({"unmask", "--", unitOf(name_)});
    order({startType == 2 ? "enable" : "disable", "--", unitOf(name_)});
  }

  std::vector<ServiceEntry> enumerateDependents() override {
    require(service_access::kEnumerateDependents);
    // The units that stop when this one stops: those requiring it or bound to it.
    const Properties p = show({unitOf(name_)}, "RequiredBy,BoundBy").at(0);
    std::vector<std::string> units;
    std::istringstream in(value(p, "RequiredBy") + " " + value(p, "BoundBy"));
    for (std::string unit; in >> unit;) {
      if (isServiceUnit(unit) && std::find(units.begin(), units.end(), unit) == units.end()) units.push_back(unit);
    }
    return entriesOf(units);
  }

 private:
  void require(std::uint32_t right) const {
    if ((access_ & right) == 0) throwCode(scm_error::kAccessDenied);
  }
  Properties properties() const { return show({unitOf(name_)}, kStatusProperties).at(0); }
  std::string unitFileState() const { return value(show({unitOf(name_)}, "UnitFileState").at(0), "UnitFileState"); }
  void order(const std::vector<std::string>& arguments) const {
    const Run run = systemctl(arguments);
    if (run.exitCode != 0) refused(arguments.front() + " " + unitOf(name_), run);
  }

  std::string name_;
  std::uint32_t access_;
};

// systemd serialises its own jobs; the lock only keeps the Win32 manager's
// promise that the caller was allowed to take it.
class SystemdLock final : public ServiceDatabaseLock {
 public:
  void unlock() override {}
};

class SystemdManager final : public ServiceManagerConnection {
 public:
  explicit SystemdManager(std::uint32_t access) : access_(access) {}

  std::vector<ServiceEntry> enumerateServices() override {
    if ((access_ & scm_access::kEnumerateService) == 0) throwCode(scm_error::kAccessDenied);
    const Run loaded = systemctl({"list-units", "--type=service", "--all", "--no-legend", "--plain"});
    if (loaded.exitCode != 0) refused("list-units", loaded);
    std::set<std::string> units = firstWords(loaded.out);
    // Installed units that are not loaded right now are services all the same.
    const Run files = systemctl({"list-unit-files", "--type=service", "--no-legend"});
    if (files.exitCode == 0) units.merge(firstWords(files.out));
    return entriesOf(std::vector<std::string>(units.begin(), units.end()));
  }

  std::unique_ptr<OpenedService> openService(const std::string& name, std::uint32_t access) override {
    if (name.empty() || name.find('/') != std::string::npos) throwCode(scm_error::kServiceDoesNotExist);
    const Run run = systemctl({"show", "-p", "LoadState", "--", unitOf(name)});
    if (run.exitCode != 0 || run.out.find("LoadState=not-found") != std::string::npos) {
      throwCode(scm_error::kServiceDoesNotExist);
    }
    constexpr std::uint32_t changing = service_access::kChangeConfig | service_access::kStart |
                                       service_access::kStop | service_access::kPauseContinue;
    if ((access & changing) != 0 && ::geteuid() != 0) throwCode(scm_error::kAccessDenied);
    return std::make_unique<SystemdService>(name, access);
  }

  std::unique_ptr<ServiceDatabaseLock> lockDatabase() override {
    if ((access_ & scm_access::kLock) == 0) throwCode(scm_error::kAccessDenied);
    return std::make_unique<SystemdLock>();
  }

 private:
  std::uint32_t access_;
};

}  // namespace

std::unique_ptr<ServiceManagerConnection> openServiceManager(const std::string& machineName, std::uint32_t access) {
  if (!machineName.empty()) {
    throw OsError(scm_error::kServerUnavailable,
                  "Cannot open the service manager of " + machineName + ": only this computer's systemd can be reached.");
  }
  // systemd's own test whether it runs: the folder it creates at boot.
  if (!std::filesystem::is_directory("/run/systemd/system")) {
    throw OsError(scm_error::kServerUnavailable,
                  "Cannot open the service manager: no service manager is running on this computer (systemd was not "
                  "found).");
  }
  if ((access & scm_access::kLock) != 0 && ::geteuid() != 0) throwCode(scm_error::kAccessDenied);
  return std::make_unique<SystemdManager>(access);
}

}  // namespace dorvik::platform
