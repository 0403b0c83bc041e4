// service_control.exe: sends pause or continue to a service and prints the state it reports; Wine's sc and net lack both.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* stateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED: return L"STOPPED";
    case SERVICE_START_PENDING: return L"START_PENDING";
    case SERVICE_STOP_PENDING: return L"STOP_PENDING";
    case SERVICE_RUNNING: return L"RUNNING";
    case SERVICE_CONTINUE_PENDING: return L"CONTINUE_PENDING";
    case SERVICE_PAUSE_PENDING: return L"PAUSE_PENDING";
    case SERVICE_PAUSED: return L"PAUSED";
    default: return L"UNKNOWN";
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 || (std::wcscmp(argv[2], L"pause") != 0 && std::wcscmp(argv[2], L"continue") != 0)) {
    std::fwprintf(stderr, L"usage: service_control NAME pause|continue\n");
    return 2;
  }
  const DWORD control = std::wcscmp(argv[2], L"pause") == 0 ? SERVICE_CONTROL_PAUSE : SERVICE_CONTROL_CONTINUE;
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (scm == nullptr) {
    std::fwprintf(stderr, L"OpenSCManagerW failed: error %lu\n", GetLastError());
    return 1;
  }
  SC_HANDLE service = OpenServiceW(scm, argv[1], SERVICE_PAUSE_CONTINUE | SERVICE_QUERY_STATUS);
  int rc = 0;
  SERVICE_STATUS status{};
  if (service == nullptr) {
    std::fwprintf(stderr, L"OpenServiceW failed: error %lu\n", GetLastError());
    rc = 1;
  } else if (!ControlService(service, control, &status)) {
    std::fwprintf(stderr, L"ControlService failed: error %lu\n", GetLastError());
    rc = 1;
  } else {
    std::wprintf(L"%ls\n", stateName(status.dwCurrentState));
  }
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(scm);
  return rc;
}
