// The version text shared by both faces.
#include "platform/file_version.h"

#include <cstdio>

namespace dorvik::platform {

std::string versionText(const FileVersion& v) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d.%02d.%02d", v.major, v.minor, v.release, v.build);
  return text;
}

std::string fileVersionText(const std::string& path) {
  const std::optional<FileVersion> v = readFileVersion(path);
  return v ? versionText(*v) : std::string();
}

}  // namespace dorvik::platform
