// The operating system's service manager as the service control library needs it:
// a connection to the manager of one computer, its services, their status and
// configuration, and the orders start, control, start type and database lock.
//
// Win32: the service control manager (advapi32). POSIX: systemd, asked through
// systemctl; where no systemd runs, opening the connection fails.
//
// Every failed call throws OsError with the system's code and text. The POSIX
// face reports its refusals with the codes and texts Windows uses for the same
// case (5 access denied, 1060 no such service, 1056 already running, 1062 not
// started, 1052 control not valid), so callers see one behaviour everywhere.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/os_error.h"

namespace dorvik::platform {

// Access rights, the values the Win32 service manager uses.
namespace scm_access {
inline constexpr std::uint32_t kConnect = 0x0001;
inline constexpr std::uint32_t kEnumerateService = 0x0004;
inline constexpr std::uint32_t kLock = 0x0008;
}  // namespace scm_access

namespace service_access {
inline constexpr std::uint32_t kQueryConfig = 0x0001;
inline constexpr std::uint32_t kChangeConfig = 0x0002;
inline constexpr std::uint32_t kQueryStatus = 0x0004;
inline constexpr std::uint32_t kEnumerateDependents = 0x0008;
inline constexpr std::uint32_t kStart = 0x0010;
inline constexpr std::uint32_t kStop = 0x0020;
inline constexpr std::uint32_t kPauseContinue = 0x0040;
}  // namespace service_access

// Error codes the callers meet (Win32 values).
namespace scm_error {
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kInvalidServiceControl = 1052;
inline constexpr std::uint32_t kServiceAlreadyRunning = 1056;
inline constexpr std::uint32_t kServiceDoesNotExist = 1060;
inline constexpr std::uint32_t kServiceNotActive = 1062;
inline constexpr std::uint32_t kServerUnavailable = 1722;
}  // namespace scm_error

// The status record of a service: the seven words of the Win32 status record, in its order.
struct ServiceStatus {
  std::uint32_t serviceType = 0;
  std::uint32_t currentState = 0;      // 1 stopped .. 7 paused
  std::uint32_t controlsAccepted = 0;  // bit 1 stop, 2 pause and continue, 4 shutdown
  std::uint32_t win32ExitCode = 0;
  std::uint32_t serviceSpecificExitCode = 0;
  std::uint32_t checkPoint = 0;
  std::uint32_t waitHint = 0;  // milliseconds
};

// One service of an enumeration.
struct ServiceEntry {
  std::string serviceName;  // key name
  std::string displayName;
  ServiceStatus status;
};

// What a service is registered as.
struct ServiceConfig {
  std::uint32_t serviceType = 0;  // bit 16 own process, 32 shared process, 256 interactive
  std::uint32_t startType = 0;    // 2 automatic, 3 on demand, 4 disabled
  std::uint32_t errorControl = 0;
  std::string binaryPath;   // the registered command line
  std::string serviceStartName;  // account
  std::string displayName;
};

// Controls for OpenedService::control.
enum class ServiceControlCode : std::uint32_t { kStop = 1, kPause = 2, kContinue = 3 };

// One service opened with an access mask; closed when destroyed.
class OpenedService {
 public:
  virtual ~OpenedService() = default;
  virtual ServiceStatus queryStatus() = 0;
  virtual ServiceConfig queryConfig() = 0;
  // Starts the service without arguments.
  virtual void start() = 0;
  // Sends a control; returns the status the service reported with it.
  virtual ServiceStatus control(ServiceControlCode code) = 0;
  // Changes the start type (2, 3 or 4) and nothing else of the configuration.
  virtual void changeStartType(std::uint32_t startType) = 0;
  // The services that depend on this one, in every state; empty when there are none.
  virtual std::vector<ServiceEntry> enumerateDependents() = 0;
};

// A held lock of the service database.
class ServiceDatabaseLock {
 public:
  virtual ~ServiceDatabaseLock() = default;  // releases a lock still held, silently
  // Releases the lock; throws OsError when the manager refuses.
  virtual void unlock() = 0;
};

// An open connection to the service manager of one computer; closed when destroyed.
class ServiceManagerConnection {
 public:
  virtual ~ServiceManagerConnection() = default;
  // The services run by the manager itself (Win32: own- and shared-process
  // services), in every state, in one batch. A first request that fails for
  // a reason other than needing a buffer throws; a second one that fails
  // gives an empty list.
  virtual std::vector<ServiceEntry> enumerateServices() = 0;
  virtual std::unique_ptr<OpenedService> openService(const std::string& name, std::uint32_t access) = 0;
  virtual std::unique_ptr<ServiceDatabaseLock> lockDatabase() = 0;
};

// Opens the service manager of `machineName` (empty: this computer) with an
// access mask of scm_access values.
std::unique_ptr<ServiceManagerConnection> openServiceManager(const std::string& machineName, std::uint32_t access);

}  // namespace dorvik::platform
