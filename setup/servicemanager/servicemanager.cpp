#include "setup/servicemanager/servicemanager.h"

#include <chrono>
#include <thread>

namespace dorvik::setup {
namespace {

namespace access = platform::service_access;

// An order of the library that contradicts its own bookkeeping: reported, never a crash.
[[noreturn]] void consistencyFailure(const std::string& what) {
  throw Error("Internal consistency failure in servicemanager: " + what);
}

std::string upperCase(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

constexpr std::uint32_t startTypeCode(TServiceStartup s) { return static_cast<std::uint32_t>(s) + 2; }

// Releases the entry's service handle when an operation ends, also by an error.
class HandleRelease {
 public:
  explicit HandleRelease(std::unique_ptr<platform::OpenedService>& handle) : handle_(handle) {}
  ~HandleRelease() { handle_.reset(); }
  HandleRelease(const HandleRelease&) = delete;
  HandleRelease& operator=(const HandleRelease&) = delete;

 private:
  std::unique_ptr<platform::OpenedService>& handle_;
};

// The library once refused systems outside the NT family. Every Windows this
// program is built for (64-bit, mingw-w64) is of that family, and other
// systems use their own face of the service manager, so there is nothing left to test.
void requireSupportedSystem() {}

}  // namespace

// ---- TServiceInfo ----

TServiceInfo::TServiceInfo(TServiceManager& Manager, int Index, const platform::ServiceEntry& Entry)
    : FIndex(Index),
      FServiceManager(&Manager),
      FServiceStatus(Entry.status),
      FServiceName(Entry.serviceName),
      FDisplayName(Entry.displayName) {}

TServiceInfo::~TServiceInfo() { ReleaseHandle(); }

void TServiceInfo::OpenHandle(std::uint32_t Access) {
  if (FHandle) return;
  if (!FServiceManager->FManager) consistencyFailure("an entry was used after its manager closed");
  FHandle = FServiceManager->FManager->openService(FServiceName, Access);
}

void TServiceInfo::ReleaseHandle() noexcept { FHandle.reset(); }

void TServiceInfo::RefreshStatus() {
  if (FHandle) {
    FServiceStatus = FHandle->queryStatus();
    return;
  }
  OpenHandle(access::kQueryStatus);
  const HandleRelease release(FHandle);
  FServiceStatus = FHandle->queryStatus();
}

TServiceState TServiceInfo::State() {
  if (FLive) RefreshStatus();
  const std::uint32_t state = FServiceStatus.currentState;
  if (state < 1 || state > 7) throw Error("Service State unknown");
  return static_cast<TServiceState>(state - 1);
}

TServiceAccepts TServiceInfo::Accepts() {
  if (FLive) RefreshStatus();
  return TServiceAccepts::fromControlsAccepted(FServiceStatus.controlsAccepted);
}

void TServiceInfo::WaitForState(TServiceState Target) {
  RefreshStatus();
  auto current = [this] {
    const std::uint32_t state = FServiceStatus.currentState;
    if (state < 1 || state > 7) throw Error("Service State unknown");
    return static_cast<TServiceState>(state - 1);
  };
  while (current() != Target) {
    const std::uint32_t checkPoint = FServiceStatus.checkPoint;
    const std::uint32_t hint = FServiceStatus.waitHint;
    std::this_thread::sleep_for(std::chrono::milliseconds(hint != 0 ? hint : 5000));
    RefreshStatus();
    if (current() == Target) break;
    if (FServiceStatus.checkPoint == checkPoint) throw Error("Service did not react within timeframe given");
  }
}

void TServiceInfo::ServiceStart(bool Wait) {
  OpenHandle(access::kStart | access::kQueryStatus);
  const HandleRelease release(FHandle);
  FHandle->start();
  if (Wait) WaitForState(ssRunning);
}

void TServiceInfo::SendControl(std::uint32_t Access, TServiceAccept Needed, const char* Refusal,
                               platform::ServiceControlCode Code, bool Wait, TServiceState Target) {
  OpenHandle(Access | access::kQueryStatus);
  const HandleRelease release(FHandle);
  if (!Accepts().contains(Needed)) throw Error(Refusal);
  FServiceStatus = FHandle->control(Code);
  if (Wait) WaitForState(Target);
}

void TServiceInfo::ServiceStop(bool Wait) {
  SendControl(access::kStop, saStop, "Service cannot be Stopped", platform::ServiceControlCode::kStop, Wait, ssStopped);
}

void TServiceInfo::ServicePause(bool Wait) {
  SendControl(access::kPauseContinue, saPauseContinue, "Service cannot be paused", platform::ServiceControlCode::kPause,
              Wait, ssPaused);
}

void TServiceInfo::ServiceContinue(bool Wait) {
  SendControl(access::kPauseContinue, saPauseContinue, "Service cannot be continued",
              platform::ServiceControlCode::kContinue, Wait, ssRunning);
}

void TServiceInfo::setState(TServiceState Value) {
  if (!FLive) RefreshStatus();
  switch (State()) {
    case ssStartPending:
    case ssContinuePending:
      WaitForState(ssRunning);
      break;
    case ssStopPending:
      WaitForState(ssStopped);
      break;
    case ssPausePending:
      WaitForState(ssPaused);
      break;
    default:
      break;
  }
  const TServiceState s = State();
  switch (Value) {
    case ssStopped:
      if (s != ssStopped) ServiceStop(true);
      break;
    case ssRunning:
      if (s == ssStopped) {
        ServiceStart(true);
      } else if (s == ssPaused) {
        ServiceContinue(true);
      }
      break;
    case ssPaused:
      if (s == ssStopped) {
        ServiceStart(true);
        try {
          ServicePause(true);
        } catch (...) {
          // Not left running when it was asked to pause.
          ServiceStop(true);
          throw;
        }
      } else if (s == ssRunning) {
        ServicePause(true);
      }
      break;
    default:
      throw Error("Cannot set a transitional state in TServiceInfo.");
  }
}

void TServiceInfo::LoadConfig() {
  OpenHandle(access::kQueryConfig);
  const HandleRelease release(FHandle);
  const platform::ServiceConfig config = FHandle->queryConfig();
  constexpr std::uint32_t kOwnProcess = 0x10, kShareProcess = 0x20, kInteractive = 0x100;
  const std::uint32_t process = config.serviceType & (kOwnProcess | kShareProcess);
  if (process == 0) consistencyFailure("service " + FServiceName + " is neither an own- nor a shared-process service");
  if (config.startType < 2 || config.startType > 4) throw Error("Service Start Type unknown");
  FOwnProcess = process == kOwnProcess;
  FInteractive = (config.serviceType & kInteractive) != 0;
  FStartType = static_cast<TServiceStartup>(config.startType - 2);
  FBinaryPath = config.binaryPath;
  FUserName = config.serviceStartName;
  FConfigQueried = true;
}

bool TServiceInfo::OwnProcess() {
  if (FLive || !FConfigQueried) LoadConfig();
  return FOwnProcess;
}

bool TServiceInfo::Interactive() {
  if (FLive || !FConfigQueried) LoadConfig();
  return FInteractive;
}

TServiceStartup TServiceInfo::StartType() {
  if (FLive || !FConfigQueried) LoadConfig();
  return FStartType;
}

std::string TServiceInfo::BinaryPath() {
  if (FLive || !FConfigQueried) LoadConfig();
  return FBinaryPath;
}

void TServiceInfo::setStartType(TServiceStartup Value) {
  LoadConfig();
  if (Value == FStartType) return;
  FServiceManager->LockDatabase();
  try {
    OpenHandle(access::kChangeConfig);
    const HandleRelease release(FHandle);
    FHandle->changeStartType(startTypeCode(Value));
    FStartType = Value;
  } catch (...) {
    // The change's own error tells more than a failed unlock would.
    try {
      FServiceManager->UnlockDatabase();
    } catch (const std::exception&) {
    }
    throw;
  }
  FServiceManager->UnlockDatabase();
}

void TServiceInfo::LoadDependents() {
  if (FDependentsSearched) return;
  FDependents.clear();
  OpenHandle(access::kEnumerateDependents);
  const HandleRelease release(FHandle);
  const std::vector<platform::ServiceEntry> entries = FHandle->enumerateDependents();
  // None: searched again next time, as they may have appeared by then.
  if (entries.empty()) return;
  for (const platform::ServiceEntry& e : entries) FDependents.push_back(&FServiceManager->GetServiceByName(e.serviceName));
  FDependentsSearched = true;
}

int TServiceInfo::DependentCount() {
  LoadDependents();
  return static_cast<int>(FDependents.size());
}

TServiceInfo& TServiceInfo::GetDependent(int Index) {
  LoadDependents();
  if (Index < 0 || Index >= static_cast<int>(FDependents.size())) throw Error("Index out of bounds");
  return *FDependents[static_cast<std::size_t>(Index)];
}

// ---- TServiceManager ----

TServiceManager::TServiceManager() = default;

TServiceManager::~TServiceManager() {
  try {
    setActive(false);
  } catch (const std::exception&) {
    // A lock that cannot be released is released by the system when the connection closes.
  }
}

void TServiceManager::setActive(bool Value) {
  if (Value) {
    if (Active()) return;
    requireSupportedSystem();
    namespace scm = platform::scm_access;
    std::uint32_t access = scm::kConnect | scm::kEnumerateService;
    if (FAllowLocking) access |= scm::kLock;
    FManager = platform::openServiceManager(FMachineName, access);
    RebuildServicesList();
    return;
  }
  if (!Active()) return;
  ClearServices();
  try {
    if (FLock) UnlockDatabase();
  } catch (...) {
    FLock.reset();
    FManager.reset();
    throw;
  }
  FManager.reset();
}

void TServiceManager::setMachineName(const std::string& Value) {
  if (Active()) throw Error("Cannot change machine name while active");
  FMachineName = Value;
}

void TServiceManager::setAllowLocking(bool Value) {
  if (Active()) throw Error("Cannot change allow locking while active");
  FAllowLocking = Value;
}

void TServiceManager::ClearServices() { FServices.clear(); }

void TServiceManager::RebuildServicesList() {
  if (!Active()) throw Error("BuildServicesList only works when active");
  ClearServices();
  const std::vector<platform::ServiceEntry> entries = FManager->enumerateServices();
  FServices.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    FServices.push_back(std::unique_ptr<TServiceInfo>(new TServiceInfo(*this, static_cast<int>(i), entries[i])));
  }
}

void TServiceManager::DeleteService(int /*Index*/) { throw Error("Not implemented"); }

TServiceInfo& TServiceManager::GetService(int Index) const {
  if (Index < 0 || Index >= ServiceCount()) throw Error("Index out of bounds");
  return *FServices[static_cast<std::size_t>(Index)];
}

TServiceInfo& TServiceManager::GetServiceByName(const std::string& Name) const {
  const std::string wanted = upperCase(Name);
  for (const std::unique_ptr<TServiceInfo>& s : FServices) {
    if (upperCase(s->ServiceName()) == wanted) return *s;
  }
  throw Error("Service not found");
}

void TServiceManager::LockDatabase() {
  if (!FAllowLocking) throw Error("Locking of the service manager not allowed!");
  if (!FManager) consistencyFailure("the database was to be locked without a connection");
  FLock = FManager->lockDatabase();
}

void TServiceManager::UnlockDatabase() {
  if (!FLock) return;
  const std::unique_ptr<platform::ServiceDatabaseLock> lock = std::move(FLock);
  lock->unlock();
}

// ---- The setup tool's three questions ----

std::string stavsluzby(const std::string& name) {
  TServiceManager manager;
  manager.setActive(true);
  bool installed = false;
  for (int i = 0; i < manager.ServiceCount(); ++i) {
    if (manager.Services(i).ServiceName() == name) installed = true;
  }
  if (!installed) return "nenainstalováno";
  switch (manager.ServiceByName(name).State()) {
    case ssStopped:
      return "vypnuto";
    case ssRunning:
      return "spuštěno";
    case ssPaused:
      return "pozastaveno";
    default:
      return "pending";
  }
}

namespace {

// Opens the manager (its errors propagate), then gives the service one order
// without waiting; the order's error becomes the result, empty on success.
std::string prikazsluzbe(const std::string& name, void (TServiceInfo::*order)(bool)) {
  TServiceManager manager;
  manager.setActive(true);
  try {
    (manager.ServiceByName(name).*order)(false);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

std::string zastavsluzbu(const std::string& name) { return prikazsluzbe(name, &TServiceInfo::ServiceStop); }

std::string spustsluzbu(const std::string& name) { return prikazsluzbe(name, &TServiceInfo::ServiceStart); }

}  // namespace dorvik::setup
