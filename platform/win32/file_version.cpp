// Win32 face of readFileVersion: the fixed file information of the version resource.
#include "platform/file_version.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_util.h"

namespace dorvik::platform {

std::optional<FileVersion> readFileVersion(const std::string& path) {
  const std::wstring wide = toWide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(wide.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                     LOWORD(info->dwFileVersionLS)};
}

}  // namespace dorvik::platform
