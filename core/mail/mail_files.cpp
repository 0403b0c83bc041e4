// existingFile and readHtmlFile.
#include "core/mail/mail_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/error.h"

namespace dorvik {

std::optional<std::filesystem::path> existingFile(std::string_view name) {
  // A NUL would cut the name short at the system call and find another file.
  if (name.empty() || name.find('\0') != std::string_view::npos) return std::nullopt;
  std::filesystem::path path(std::u8string(name.begin(), name.end()));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return std::nullopt;
  return path;
}

std::string readHtmlFile(const std::filesystem::path& file) {
  const auto fail = [&](const char* what) {
    const int err = errno;
    const auto name = file.u8string();
    throw FileError(std::string(what) + " the HTML file '" + std::string(name.begin(), name.end()) +
                    "': " + (err ? std::strerror(err) : "unknown error"));
  };
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) fail("Cannot open");
  // istream::read turns a failing read into badbit; istreambuf_iterator would throw ios_failure.
  std::string content;
  char buffer[16384];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) content.append(buffer, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) fail("Cannot read");
  if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
  return content;
}

}  // namespace dorvik
