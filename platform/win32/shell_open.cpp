// Win32 face of openWithShell: ShellExecuteW with "open", no parameters and a normal window.
#include "platform/shell_open.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "platform/error.h"
#include "platform/win32/win32_util.h"

namespace dorvik::platform {
namespace {

// ShellExecute's own codes up to 32; those below 32 that are not listed are system error codes.
std::string shellErrorText(INT_PTR code) {
  switch (code) {
    case 0:
    case SE_ERR_OOM:
      return "out of memory";
    case SE_ERR_SHARE:
      return "sharing violation";
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
      return "no application is associated with this kind of file";
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
      return "the application did not answer the request";
    case SE_ERR_DLLNOTFOUND:
      return "a library the application needs was not found";
    default:
      return systemErrorText(static_cast<DWORD>(code));
  }
}

}  // namespace

void openWithShell(const std::string& path) {
  if (path.empty()) throw Error("Cannot open a file without a name");
  // The shell may hand the file to COM-based handlers; they want COM on the calling thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::wstring file = toWide(path);
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (SUCCEEDED(com)) CoUninitialize();
  if (result <= 32) throw Error("Cannot open " + path + ": " + shellErrorText(result));
}

}  // namespace dorvik::platform
