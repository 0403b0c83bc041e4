// The version note that cmake/file_version.cmake puts into our ELF executables, found by reading the
// file's section headers. Shared by readFileVersion and the tests' re-stamping of program copies.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_version.h"

namespace dorvik::platform {

// The section, note name and note type the build writes; the descriptor is the four numbers as
// little-endian 16-bit values in the order major, minor, release, build.
inline constexpr const char* kVersionNoteSection = ".note.dorvik.version";
inline constexpr const char* kVersionNoteName = "dorvik";
inline constexpr std::uint32_t kVersionNoteType = 0x44560001;

struct ElfVersionNote {
  std::uint64_t descriptorOffset = 0;  // file offset of the 8 descriptor bytes
  FileVersion version;
};

// The note of a 64-bit little-endian ELF file; nothing for any other file, one without the note,
// a malformed one or one that cannot be read.
std::optional<ElfVersionNote> findElfVersionNote(const std::string& path);

}  // namespace dorvik::platform
