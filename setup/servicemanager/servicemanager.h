// The service control library of the setup tool: a connection to the service
// manager of one computer with a snapshot list of its services (TServiceManager),
// one entry of that list with its status, orders and configuration
// (TServiceInfo), and the three questions the setup tool asks about its service.
//
// Every failure is thrown as dorvik::Error; failed calls of the service manager
// as dorvik::OsError with the system's code and text.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/service_manager.h"

namespace dorvik::setup {

// The manager's current-state values 1 to 7, in their order.
enum TServiceState {
  ssStopped,
  ssStartPending,
  ssStopPending,
  ssRunning,
  ssContinuePending,
  ssPausePending,
  ssPaused
};

// Bits 1, 2 and 4 of the controls-accepted word.
enum TServiceAccept { saStop, saPauseContinue, saShutdown };

// A set of TServiceAccept: the low three bits of the controls-accepted word.
class TServiceAccepts {
 public:
  constexpr TServiceAccepts() = default;
  static constexpr TServiceAccepts fromControlsAccepted(std::uint32_t word) { return TServiceAccepts(word & 7u); }
  constexpr bool contains(TServiceAccept a) const { return (bits_ & (1u << a)) != 0; }
  constexpr std::uint32_t bits() const { return bits_; }
  constexpr bool operator==(const TServiceAccepts&) const = default;

 private:
  constexpr explicit TServiceAccepts(std::uint32_t bits) : bits_(bits) {}
  std::uint32_t bits_ = 0;
};

// Start types 2 (automatic), 3 (on demand) and 4 (disabled).
enum TServiceStartup { ssAutomatic, ssManual, ssDisabled };

class TServiceManager;

// One service of a manager's snapshot. The manager owns it; it lives until the
// next RebuildServicesList or until the manager closes.
class TServiceInfo {
 public:
  ~TServiceInfo();
  TServiceInfo(const TServiceInfo&) = delete;
  TServiceInfo& operator=(const TServiceInfo&) = delete;

  // Orders; with Wait true each waits until the service reached the new state.
  void ServicePause(bool Wait);
  void ServiceContinue(bool Wait);
  void ServiceStop(bool Wait);
  void ServiceStart(bool Wait);

  // The services that depend on this one, as entries of the owning manager's list.
  TServiceInfo& GetDependent(int Index);
  TServiceInfo& Dependents(int Index) { return GetDependent(Index); }
  int DependentCount();

  const std::string& ServiceName() const { return FServiceName; }
  const std::string& DisplayName() const { return FDisplayName; }
  int Index() const { return FIndex; }

  // With Live, every read of status or configuration asks the manager again;
  // without it they report the snapshot (configuration: the first reading).
  bool Live() const { return FLive; }
  void setLive(bool Value) { FLive = Value; }

  TServiceState State();
  // Brings the service to ssStopped, ssRunning or ssPaused and waits for it.
  void setState(TServiceState Value);
  TServiceAccepts Accepts();

  bool OwnProcess();
  bool Interactive();
  TServiceStartup StartType();
  // Changes only the start type; needs AllowLocking on the manager.
  void setStartType(TServiceStartup Value);
  std::string BinaryPath();

 private:
  friend class TServiceManager;
  TServiceInfo(TServiceManager& Manager, int Index, const platform::ServiceEntry& Entry);

  void OpenHandle(std::uint32_t Access);
  void ReleaseHandle() noexcept;
  void RefreshStatus();
  void WaitForState(TServiceState Target);
  void LoadConfig();
  void LoadDependents();
  void SendControl(std::uint32_t Access, TServiceAccept Needed, const char* Refusal,
                   platform::ServiceControlCode Code, bool Wait, TServiceState Target);

  int FIndex;
  TServiceManager* FServiceManager;
  std::unique_ptr<platform::OpenedService> FHandle;
  platform::ServiceStatus FServiceStatus;
  std::string FServiceName;
  std::string FDisplayName;
  bool FDependentsSearched = false;
  std::vector<TServiceInfo*> FDependents;
  bool FLive = false;
  bool FConfigQueried = false;
  bool FOwnProcess = false;
  bool FInteractive = false;
  TServiceStartup FStartType = ssManual;
  std::string FBinaryPath;
  std::string FUserName;
};

// A connection to the service manager of one computer and a snapshot of its services.
class TServiceManager {
 public:
  TServiceManager();
  ~TServiceManager();  // closes the connection as setActive(false), errors ignored
  TServiceManager(const TServiceManager&) = delete;
  TServiceManager& operator=(const TServiceManager&) = delete;

  // Takes a new snapshot of the services.
  void RebuildServicesList();
  [[noreturn]] void DeleteService(int Index);
  TServiceInfo& GetService(int Index) const;
  // Case-insensitive; the first match in list order.
  TServiceInfo& GetServiceByName(const std::string& Name) const;

  TServiceInfo& Services(int Index) const { return GetService(Index); }
  TServiceInfo& ServiceByName(const std::string& Name) const { return GetServiceByName(Name); }
  int ServiceCount() const { return static_cast<int>(FServices.size()); }

  bool Active() const { return FManager != nullptr; }
  // true: opens the connection and takes the snapshot (nothing when already
  // active); false: frees the list, releases a held lock and closes.
  void setActive(bool Value);

  const std::string& MachineName() const { return FMachineName; }  // empty: this computer
  void setMachineName(const std::string& Value);
  bool AllowLocking() const { return FAllowLocking; }
  void setAllowLocking(bool Value);

 private:
  friend class TServiceInfo;
  void ClearServices();
  void LockDatabase();
  void UnlockDatabase();

  std::unique_ptr<platform::ServiceManagerConnection> FManager;
  std::unique_ptr<platform::ServiceDatabaseLock> FLock;
  std::string FMachineName;
  std::vector<std::unique_ptr<TServiceInfo>> FServices;
  bool FAllowLocking = false;
};

// The state of the service `name` (its key name, matched in case exactly):
// "nenainstalováno", "vypnuto", "spuštěno", "pozastaveno" or "pending".
// Errors while opening the service manager propagate.
std::string stavsluzby(const std::string& name);

// Asks the service to stop without waiting; the error text, empty on success.
// Errors while opening the service manager propagate.
std::string zastavsluzbu(const std::string& name);

// Starts the service without waiting; the error text, empty on success.
// Errors while opening the service manager propagate.
std::string spustsluzbu(const std::string& name);

}  // namespace dorvik::setup
