// findElfVersionNote: reads only the ELF header, the section headers, the section-name table and the
// note section, so a large executable is not read whole.
#include "platform/posix/elf_version_note.h"

#include <cstring>
#include <fstream>
#include <vector>

namespace dorvik::platform {
namespace {

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t le64(const unsigned char* p) { return le32(p) | static_cast<std::uint64_t>(le32(p + 4)) << 32; }

// Reads `size` bytes at `offset` of a file of `fileSize` bytes; false when they are not all there.
bool readAt(std::ifstream& in, std::uint64_t fileSize, std::uint64_t offset, std::uint64_t size,
            std::vector<unsigned char>& out) {
  if (offset > fileSize || size > fileSize - offset || size > (1u << 26)) return false;
  out.resize(size);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size));
  return static_cast<std::uint64_t>(in.gcount()) == size;
}

std::uint64_t align4(std::uint64_t n) { return (n + 3) & ~std::uint64_t{3}; }

}  // namespace

std::optional<ElfVersionNote> findElfVersionNote(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (end < 0) return std::nullopt;
  const auto fileSize = static_cast<std::uint64_t>(end);

  std::vector<unsigned char> header;
  if (!readAt(in, fileSize, 0, 64, header)) return std::nullopt;
  // Magic, ELFCLASS64, ELFDATA2LSB.
  if (std::memcmp(header.data(), "\x7f" "ELF", 4) != 0 || header[4] != 2 || header[5] != 1) return std::nullopt;
  const std::uint64_t sectionTable = le64(&header[0x28]);
  const std::uint16_t entrySize = le16(&header[0x3a]);
  const std::uint16_t count = le16(&header[0x3c]);
  const std::uint16_t namesIndex = le16(&header[0x3e]);
  if (entrySize < 64 || count == 0 || namesIndex >= count) return std::nullopt;

  std::vector<unsigned char> sections;
  if (!readAt(in, fileSize, sectionTable, std::uint64_t{entrySize} * count, sections)) return std::nullopt;
  const auto field64 = [&](std::uint16_t index, std::size_t at) { return le64(&sections[index * entrySize + at]); };
  const auto nameOffset = [&](std::uint16_t index) { return le32(&sections[index * entrySize]); };

  std::vector<unsigned char> names;
  if (!readAt(in, fileSize, field64(namesIndex, 0x18), field64(namesIndex, 0x20), names)) return std::nullopt;
  const std::string wanted = kVersionNoteSection;

  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint32_t at = nameOffset(i);
    if (at >= names.size() || names.size() - at < wanted.size() + 1 ||
        std::memcmp(&names[at], wanted.c_str(), wanted.size() + 1) != 0) {
      continue;
    }
    const std::uint64_t offset = field64(i, 0x18);
    std::vector<unsigned char> notes;
    if (!readAt(in, fileSize, offset, field64(i, 0x20), notes)) return std::nullopt;
    // Walk the notes of the section: namesz, descsz, type, then the padded name and descriptor.
    std::uint64_t pos = 0;
    while (notes.size() - pos >= 12) {
      const std::uint32_t nameSize = le32(&notes[pos]);
      const std::uint32_t descriptorSize = le32(&notes[pos + 4]);
      const std::uint32_t type = le32(&notes[pos + 8]);
      const std::uint64_t namePos = pos + 12;
      const std::uint64_t descriptorPos = namePos + align4(nameSize);
      const std::uint64_t next = descriptorPos + align4(descriptorSize);
      if (next > notes.size()) break;
      const std::string noteName = kVersionNoteName;
      if (type == kVersionNoteType && nameSize == noteName.size() + 1 && descriptorSize == 8 &&
          std::memcmp(&notes[namePos], noteName.c_str(), nameSize) == 0) {
        const unsigned char* d = &notes[descriptorPos];
        return ElfVersionNote{offset + descriptorPos, FileVersion{le16(d), le16(d + 2), le16(d + 4), le16(d + 6)}};
      }
      if (next == pos) break;
      pos = next;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace dorvik::platform
