// The version number an executable carries (major.minor.release.build), read without running it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace dorvik::platform {

struct FileVersion {
  std::uint16_t major = 0, minor = 0, release = 0, build = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// Nothing when the file has no version information or cannot be read.
std::optional<FileVersion> readFileVersion(const std::string& path);

// "%d.%02d.%02d.%02d": 1.2.10.5 -> "1.02.10.05".
std::string versionText(const FileVersion& v);

// versionText of readFileVersion, "" when there is none.
std::string fileVersionText(const std::string& path);

}  // namespace dorvik::platform
