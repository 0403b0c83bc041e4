// Win32 face of the service host: the service control dispatcher, the control handler and registration with the SCM.
#include "platform/service_host.h"

#include <windows.h>

#include <exception>
#include <mutex>
#include <thread>

#include "platform/error.h"
#include "platform/text_codec.h"
#include "platform/win32/win32_util.h"

namespace dorvik::platform {
namespace {

constexpr DWORD kStartWaitHint = 5000;   // ms the service manager waits for the start to finish
constexpr DWORD kStopWaitHint = 10000;   // ms a running poll may need before the service has stopped
constexpr DWORD kServiceSpecificFailure = 1;

// The service process as the SCM sees it: status reports, the stop request
// and the hand-over between the dispatcher's service thread and the thread
// that runs the polls.
class Win32Service : public ServiceControl {
 public:
  Win32Service(const ServiceIdentity& identity, const ServiceEvents& events)
      : name_(toWide(identity.name)), events_(events) {}

  bool waitForStop(std::chrono::milliseconds timeout) override {
    const auto ms = timeout.count() < 0 ? 0 : timeout.count();
    const DWORD wait = ms >= static_cast<long long>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(ms);
    return WaitForSingleObject(stop_.get(), wait) == WAIT_OBJECT_0;
  }

  int run(const std::function<void(ServiceControl&)>& body);

  // Entry of the service thread that the dispatcher creates (ServiceMain).
  void serviceMain();
  DWORD control(DWORD code);

 private:
  void report(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHint = 0);
  // Writes a failure to the Windows application event log, where a service's
  // unexpected errors belong.
  void reportToEventLog(const std::string& message) const;

  std::wstring name_;
  ServiceEvents events_;
  SERVICE_STATUS_HANDLE statusHandle_ = nullptr;
  std::mutex statusMutex_;
  SERVICE_STATUS status_{};
  DWORD checkPoint_ = 0;
  DWORD exitCode_ = NO_ERROR;

  EventHandle stop_{createEvent()};      // stop or shutdown requested
  EventHandle running_{createEvent()};   // the start handler succeeded: polls may begin
  EventHandle finished_{createEvent()};  // the polls have ended: the service thread may report "stopped"
};

// The dispatcher's ServiceMain carries no context; only one service runs per process.
Win32Service* g_service = nullptr;

void WINAPI serviceMainEntry(DWORD /*argc*/, LPWSTR* /*argv*/) { g_service->serviceMain(); }

DWORD WINAPI controlHandlerEntry(DWORD code, DWORD /*eventType*/, LPVOID /*eventData*/, LPVOID context) {
  return static_cast<Win32Service*>(context)->control(code);
}

void Win32Service::report(DWORD state, DWORD exitCode, DWORD waitHint) {
  std::lock_guard lock(statusMutex_);
  status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status_.dwCurrentState = state;
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  // A stopped service accepts no control: callers read that to know a stop would be pointless.
  status_.dwControlsAccepted = state == SERVICE_START_PENDING || state == SERVICE_STOPPED
                                   ? 0
                                   : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE | SERVICE_ACCEPT_SHUTDOWN;
  if (exitCode == kServiceSpecificFailure) {
    status_.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
    status_.dwServiceSpecificExitCode = exitCode;
  } else {
    status_.dwWin32ExitCode = exitCode;
    status_.dwServiceSpecificExitCode = 0;
  }
  status_.dwWaitHint = waitHint;
  status_.dwCheckPoint = pending ? ++checkPoint_ : 0;
  SetServiceStatus(statusHandle_, &status_);
}

DWORD Win32Service::control(DWORD code) {
  switch (code) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      report(SERVICE_STOP_PENDING, NO_ERROR, kStopWaitHint);
      SetEvent(stop_.get());
      return NO_ERROR;
    case SERVICE_CONTROL_PAUSE:
      // Pausing changes nothing: the polls go on, as they always have.
      report(SERVICE_PAUSED);
      return NO_ERROR;
    case SERVICE_CONTROL_CONTINUE:
      report(SERVICE_RUNNING);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void Win32Service::serviceMain() {
  statusHandle_ = RegisterServiceCtrlHandlerExW(name_.c_str(), controlHandlerEntry, this);
  if (statusHandle_ == nullptr) {
    reportToEventLog("Cannot register the service control handler: " + systemErrorText(GetLastError()));
    return;  // the dispatcher ends and run() reports the failure
  }
  report(SERVICE_START_PENDING, NO_ERROR, kStartWaitHint);
  try {
    if (events_.start) events_.start();
  } catch (const std::exception& e) {
    reportToEventLog(std::string("The service could not start: ") + e.what());
    report(SERVICE_STOPPED, kServiceSpecificFailure);
    return;
  }
  report(SERVICE_RUNNING);
  SetEvent(running_.get());
  WaitForSingleObject(finished_.get(), INFINITE);
  report(SERVICE_STOPPED, exitCode_);
}

void Win32Service::reportToEventLog(const std::string& message) const {
  const HANDLE source = RegisterEventSourceW(nullptr, name_.c_str());
  if (source == nullptr) return;
  const std::wstring text = toWide(message);
  const wchar_t* strings[] = {text.c_str()};
  ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(source);
}

int Win32Service::run(const std::function<void(ServiceControl&)>& body) {
  // StartServiceCtrlDispatcherW blocks until the service has stopped, so it
  // gets a thread of its own and the polls keep the calling thread.
  DWORD dispatcherError = NO_ERROR;
  EventHandle dispatcherEnded{createEvent()};
  std::thread dispatcher([&] {
    SERVICE_TABLE_ENTRYW table[] = {{name_.data(), serviceMainEntry}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table)) dispatcherError = GetLastError();
    SetEvent(dispatcherEnded.get());
  });

  const HANDLE started[] = {running_.get(), dispatcherEnded.get()};
  if (WaitForMultipleObjects(2, started, FALSE, INFINITE) != WAIT_OBJECT_0) {
    dispatcher.join();
    if (dispatcherError == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
      throw Error(utf16ToUtf8(std::u16string(name_.begin(), name_.end())) +
                  " runs as a Windows service: install it with /install and start it through the service manager.");
    }
    if (dispatcherError != NO_ERROR) {
      throw Error("The service manager could not run the service: " + systemErrorText(dispatcherError));
    }
    return 1;  // the start failed; the event log says why
  }

  try {
    body(*this);
  } catch (const std::exception& e) {
    reportToEventLog(std::string("The service ended on an error: ") + e.what());
    exitCode_ = kServiceSpecificFailure;
  }
  try {
    if (events_.shutdown) events_.shutdown();
  } catch (const std::exception& e) {
    reportToEventLog(std::string("The service did not shut down cleanly: ") + e.what());
    exitCode_ = kServiceSpecificFailure;
  }
  SetEvent(finished_.get());
  dispatcher.join();
  return exitCode_ == NO_ERROR ? 0 : 1;
}

// Waits until the service has stopped, for at most `limit`.
bool waitUntilStopped(SC_HANDLE service, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  SERVICE_STATUS status{};
  while (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED) {
    if (std::chrono::steady_clock::now() >= until) return false;
    Sleep(200);
  }
  return true;
}

ServiceHandle openServiceManager(DWORD access, const char* action) {
  ServiceHandle scm{OpenSCManagerW(nullptr, nullptr, access)};
  if (!scm) {
    throw Error(std::string("Cannot ") + action + " the service: the service manager cannot be opened: " +
                systemErrorText(GetLastError()));
  }
  return scm;
}

}  // namespace

int runService(const ServiceIdentity& identity, const ServiceEvents& events,
               const std::function<void(ServiceControl&)>& body) {
  Win32Service service(identity, events);
  g_service = &service;
  struct Reset {
    ~Reset() { g_service = nullptr; }
  } reset;
  return service.run(body);
}

void installService(const ServiceIdentity& identity) {
  const ServiceHandle scm = openServiceManager(SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE, "install");
  // Quoted, so that a folder with blanks cannot be read as a different program.
  const std::wstring command = L"\"" + toWide(identity.executable) + L"\"";
  const ServiceHandle service{CreateServiceW(scm.get(), toWide(identity.name).c_str(),
                                             toWide(identity.displayName).c_str(), SERVICE_ALL_ACCESS,
                                             SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                             command.c_str(), nullptr, nullptr, nullptr,
                                             nullptr /* LocalSystem */, nullptr)};
  if (!service) {
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_EXISTS) throw Error("Cannot install the service " + identity.name + ": it is already installed.");
    throw Error("Cannot install the service " + identity.name + ": " + systemErrorText(error));
  }
}

void uninstallService(const ServiceIdentity& identity) {
  const ServiceHandle scm = openServiceManager(SC_MANAGER_CONNECT, "uninstall");
  const ServiceHandle service{
      OpenServiceW(scm.get(), toWide(identity.name).c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)};
  if (!service) {
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_DOES_NOT_EXIST) throw Error("Cannot uninstall the service " + identity.name + ": it is not installed.");
    throw Error("Cannot uninstall the service " + identity.name + ": " + systemErrorText(error));
  }
  // A running service is stopped first, so that its program file is free once it is gone.
  SERVICE_STATUS status{};
  if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) waitUntilStopped(service.get(), std::chrono::seconds(20));
  if (!DeleteService(service.get())) {
    throw Error("Cannot uninstall the service " + identity.name + ": " + systemErrorText(GetLastError()));
  }
}

// The service manager keeps the unit in its own database; there is no unit file.
std::string systemdUnitText(const ServiceIdentity& /*identity*/) { return {}; }

}  // namespace dorvik::platform
