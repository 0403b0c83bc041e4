// Win32 face of the service manager: the service control manager of advapi32.
#include "platform/service_manager.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_util.h"

namespace dorvik::platform {
namespace {

ServiceStatus fromWin32(const SERVICE_STATUS& s) {
  return ServiceStatus{s.dwServiceType, s.dwCurrentState, s.dwControlsAccepted, s.dwWin32ExitCode,
                       s.dwServiceSpecificExitCode, s.dwCheckPoint, s.dwWaitHint};
}

std::string textOf(const wchar_t* s) { return s != nullptr ? fromWide(s) : std::string(); }

std::vector<ServiceEntry> entriesOf(const std::vector<BYTE>& buffer, DWORD count) {
  const auto* items = reinterpret_cast<const ENUM_SERVICE_STATUSW*>(buffer.data());
  std::vector<ServiceEntry> entries;
  entries.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    entries.push_back(ServiceEntry{textOf(items[i].lpServiceName), textOf(items[i].lpDisplayName),
                                   fromWin32(items[i].ServiceStatus)});
  }
  return entries;
}

class Win32Service final : public OpenedService {
 public:
  explicit Win32Service(SC_HANDLE handle) : handle_(handle) {}

  ServiceStatus queryStatus() override {
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(handle_.get(), &status)) throw lastOsError();
    return fromWin32(status);
  }

  ServiceConfig queryConfig() override {
    DWORD needed = 0;
    if (QueryServiceConfigW(handle_.get(), nullptr, 0, &needed)) {
      // A configuration always has strings, so it never fits in no buffer.
      throw Error("Internal consistency failure: the service manager returned a configuration without a buffer");
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) throw lastOsError();
    // QUERY_SERVICE_CONFIGW holds pointers: the buffer must be aligned for them.
    std::vector<QUERY_SERVICE_CONFIGW> buffer(needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    auto* config = buffer.data();
    if (!QueryServiceConfigW(handle_.get(), config, static_cast<DWORD>(buffer.size() * sizeof(QUERY_SERVICE_CONFIGW)),
                             &needed)) {
      throw lastOsError();
    }
    ServiceConfig out;
    out.serviceType = config->dwServiceType;
    out.startType = config->dwStartType;
    out.errorControl = config->dwErrorControl;
    out.binaryPath = textOf(config->lpBinaryPathName);
    out.serviceStartName = textOf(config->lpServiceStartName);
    out.displayName = textOf(config->lpDisplayName);
    return out;
  }

  void start() override {
    if (!StartServiceW(handle_.get(), 0, nullptr)) throw lastOsError();
  }

  ServiceStatus control(ServiceControlCode code) override {
    SERVICE_STATUS status{};
    if (!ControlService(handle_.get(), static_cast<DWORD>(code), &status)) throw lastOsError();
    return fromWin32(status);
  }

  void changeStartType(std::uint32_t startType) override {
    if (!ChangeServiceConfigW(handle_.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr)) {
      throw lastOsError();
    }
  }

  std::vector<ServiceEntry> enumerateDependents() override {
    DWORD needed = 0;
    DWORD count = 0;
    if (EnumDependentServicesW(handle_.get(), SERVICE_STATE_ALL, nullptr, 0, &needed, &count)) return {};
    if (GetLastError() != ERROR_MORE_DATA) throw lastOsError();
    std::vector<BYTE> buffer(needed + sizeof(ENUM_SERVICE_STATUSW));
    if (!EnumDependentServicesW(handle_.get(), SERVICE_STATE_ALL, reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data()),
                                static_cast<DWORD>(buffer.size()), &needed, &count)) {
      throw lastOsError();
    }
    return entriesOf(buffer, count);
  }

 private:
  platform::ServiceHandle handle_;
};

class Win32Lock final : public ServiceDatabaseLock {
 public:
  explicit Win32Lock(SC_LOCK lock) : lock_(lock) {}
  ~Win32Lock() override {
    if (lock_ != nullptr) UnlockServiceDatabase(lock_);
  }
  Win32Lock(const Win32Lock&) = delete;
  Win32Lock& operator=(const Win32Lock&) = delete;

  void unlock() override {
    if (lock_ == nullptr) return;
    const SC_LOCK lock = lock_;
    lock_ = nullptr;
    if (!UnlockServiceDatabase(lock)) throw lastOsError();
  }

 private:
  SC_LOCK lock_;
};

class Win32Manager final : public ServiceManagerConnection {
 public:
  explicit Win32Manager(SC_HANDLE handle) : handle_(handle) {}

  std::vector<ServiceEntry> enumerateServices() override {
    DWORD needed = 0;
    DWORD count = 0;
    DWORD resume = 0;
    if (EnumServicesStatusW(handle_.get(), SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0, &needed, &count, &resume)) {
      return {};
    }
    if (GetLastError() != ERROR_MORE_DATA) throw lastOsError();
    // One batch: what the first answer asked for, with a fresh resume position.
    // The list may have grown in between; then this second answer fails and
    // the list is empty rather than half.
    std::vector<BYTE> buffer(needed);
    resume = 0;
    if (!EnumServicesStatusW(handle_.get(), SERVICE_WIN32, SERVICE_STATE_ALL,
                             reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data()), needed, &needed, &count, &resume)) {
      return {};
    }
    return entriesOf(buffer, count);
  }

  std::unique_ptr<OpenedService> openService(const std::string& name, std::uint32_t access) override {
    const SC_HANDLE service = OpenServiceW(handle_.get(), toWide(name).c_str(), access);
    if (service == nullptr) throw lastOsError();
    return std::make_unique<Win32Service>(service);
  }

  std::unique_ptr<ServiceDatabaseLock> lockDatabase() override {
    const SC_LOCK lock = LockServiceDatabase(handle_.get());
    if (lock == nullptr) throw lastOsError();
    return std::make_unique<Win32Lock>(lock);
  }

 private:
  platform::ServiceHandle handle_;
};

}  // namespace

std::unique_ptr<ServiceManagerConnection> openServiceManager(const std::string& machineName, std::uint32_t access) {
  const std::wstring machine = toWide(machineName);
  const SC_HANDLE scm = OpenSCManagerW(machine.empty() ? nullptr : machine.c_str(), nullptr, access);
  if (scm == nullptr) throw lastOsError();
  return std::make_unique<Win32Manager>(scm);
}

}  // namespace dorvik::platform
