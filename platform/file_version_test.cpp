// File versions: the stamped programs, files without a version, the text form and re-stamping.
#include "platform/file_version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/error.h"
#include "tests/common/temp_folder.h"
#include "tests/support/file_version_stamp.h"

namespace dorvik::platform {
namespace {

namespace fs = std::filesystem;

const FileVersion kProjectVersion{DORVIK_VERSION_MAJOR, DORVIK_VERSION_MINOR, DORVIK_VERSION_RELEASE,
                                  DORVIK_VERSION_BUILD};

TEST(VersionText, TwoDigitsAfterTheMajorNumber) {
  struct Case {
    FileVersion version;
    const char* text;
  };
  for (const Case& c : {Case{{1, 2, 10, 5}, "1.02.10.05"}, Case{{1, 0, 0, 0}, "1.00.00.00"},
                        Case{{0, 0, 0, 0}, "0.00.00.00"}, Case{{12, 99, 100, 65535}, "12.99.100.65535"}}) {
    EXPECT_EQ(versionText(c.version), c.text);
  }
}

TEST(FileVersionOfPrograms, StagedProgramsCarryTheProjectVersion) {
  for (const char* program : {"uloha", "dvsc/dvsc"}) {
    SCOPED_TRACE(program);
    const std::string path = std::string(DORVIK_SETUP_DIR) + "/" + program;
    const std::optional<FileVersion> v = readFileVersion(path);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, kProjectVersion);
    EXPECT_EQ(fileVersionText(path), versionText(kProjectVersion));
  }
}

TEST(FileVersionOfPrograms, ExplicitVersionOfATestProgram) {
  EXPECT_EQ(fileVersionText(DORVIK_FILE_VERSION_SAMPLE), "1.02.10.05");
}

class FileWithoutVersion : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) const {
    std::ofstream(temp_ / name, std::ios::binary) << bytes;
    return temp_ / name;
  }
  testing::TempFolder temp_;
};

TEST_F(FileWithoutVersion, GivesNothing) {
  // The first bytes of a stamped program: a valid ELF header whose section table lies beyond the end.
  std::string head(64, '\0');
  std::ifstream(std::string(DORVIK_SETUP_DIR) + "/uloha", std::ios::binary).read(head.data(), 64);
  const std::string cases[] = {
      temp_ / "missing",
      write("empty", ""),
      write("text.txt", "not a program\n"),
      write("elf-header-only", head),
      write("elf-32-bit", std::string("\x7f" "ELF\x01\x01\x01", 7) + std::string(57, '\0')),
      "/proc/self/exe",  // this test program: ELF without the note
      temp_.path(),      // a folder
  };
  for (const std::string& path : cases) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(readFileVersion(path).has_value());
    EXPECT_EQ(fileVersionText(path), "");
  }
}

TEST_F(FileWithoutVersion, CannotBeStamped) {
  EXPECT_THROW(testing::stampFileVersion(write("text.txt", "not a program\n"), {2, 0, 0, 0}), Error);
  EXPECT_THROW(testing::stampFileVersion(temp_ / "missing", {2, 0, 0, 0}), Error);
}

TEST(StampFileVersion, CopyOfAProgramReadsTheNewVersionAndTheOriginalKeepsItsOwn) {
  testing::TempFolder temp;
  const std::string original = std::string(DORVIK_SETUP_DIR) + "/uloha";
  const std::string copy = temp / "uloha";
  fs::copy_file(original, copy);
  const auto sizeBefore = fs::file_size(copy);
  testing::stampFileVersion(copy, {2, 3, 40, 7});
  EXPECT_EQ(fileVersionText(copy), "2.03.40.07");
  EXPECT_EQ(fs::file_size(copy), sizeBefore);
  EXPECT_EQ(fileVersionText(original), versionText(kProjectVersion));
  testing::stampFileVersion(copy, {0, 9, 0, 1});
  EXPECT_EQ(fileVersionText(copy), "0.09.00.01");
}

}  // namespace
}  // namespace dorvik::platform
