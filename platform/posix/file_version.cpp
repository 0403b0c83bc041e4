// POSIX face of readFileVersion: the version note of our ELF executables.
#include "platform/file_version.h"

#include "platform/posix/elf_version_note.h"

namespace dorvik::platform {

std::optional<FileVersion> readFileVersion(const std::string& path) {
  const std::optional<ElfVersionNote> note = findElfVersionNote(path);
  if (!note) return std::nullopt;
  return note->version;
}

}  // namespace dorvik::platform
