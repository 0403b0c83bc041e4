// stampFileVersion: overwrites the note's eight descriptor bytes where the platform layer finds them.
#include "tests/support/file_version_stamp.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/error.h"
#include "platform/posix/elf_version_note.h"

namespace dorvik::testing {

void stampFileVersion(const std::string& path, const platform::FileVersion& v) {
  const std::optional<platform::ElfVersionNote> note = platform::findElfVersionNote(path);
  if (!note) throw Error("No version note in " + path);
  unsigned char bytes[8];
  const std::uint16_t parts[4] = {v.major, v.minor, v.release, v.build};
  for (int i = 0; i < 4; ++i) {
    bytes[2 * i] = static_cast<unsigned char>(parts[i] & 0xff);
    bytes[2 * i + 1] = static_cast<unsigned char>(parts[i] >> 8);
  }
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  if (!file) throw FileError("Cannot open " + path + " for writing: " + std::strerror(errno));
  file.seekp(static_cast<std::streamoff>(note->descriptorOffset));
  file.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
  file.flush();
  if (!file) throw FileError("Cannot write the version note of " + path);
}

}  // namespace dorvik::testing
