// Running as the operating system's service, and registering with its service manager.
#pragma once
#include <chrono>
#include <functional>
#include <string>

namespace dorvik::platform {

// Who the service is to the service manager.
struct ServiceIdentity {
  std::string name;         // "dvservice"
  std::string displayName;  // "dorvik service"
  std::string executable;   // absolute path of the service program
};

// What the polling loop asks of the host while it runs.
class ServiceControl {
 public:
  virtual ~ServiceControl() = default;
  // Waits up to `timeout`; true as soon as a stop or shutdown was requested.
  virtual bool waitForStop(std::chrono::milliseconds timeout) = 0;
};

struct ServiceEvents {
  std::function<void()> start;     // the service manager starts the service
  std::function<void()> shutdown;  // the service stops or the system shuts down; no poll runs after it
};

// Runs `body` on the calling thread as the service until it returns (it
// should return once waitForStop says so). On POSIX the program runs in the
// foreground under systemd and SIGTERM or SIGINT is the stop request; on
// Windows it is handed to the service control manager. Returns the exit code.
int runService(const ServiceIdentity& identity, const ServiceEvents& events,
               const std::function<void(ServiceControl&)>& body);

// Registers the service (start at boot, restarted on failure) or removes it.
// Throws Error with a message saying what failed and why.
void installService(const ServiceIdentity& identity);
void uninstallService(const ServiceIdentity& identity);

// The systemd unit that installService writes on POSIX.
std::string systemdUnitText(const ServiceIdentity& identity);

}  // namespace dorvik::platform
