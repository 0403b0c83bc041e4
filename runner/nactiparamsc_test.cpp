// The hand-off reader.
#include "runner/nactiparamsc.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_append.h"
#include "tests/common/temp_folder.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

class Nactiparamsc : public ::testing::Test {
 protected:
  testing::TempFolder temp_;
  const std::string folder_ = temp_.path();
};

TEST_F(Nactiparamsc, ReadsTheFirstLine) {
  const std::pair<std::string, std::int32_t> cases[] = {
      {"12", 12},        {"12\r\n99", 12}, {"7\n", 7},       {"\xEF\xBB\xBF" "15", 15}, {" 8", 8},
      {"0x10", 16},      {"", 0},          {"0", 0},         {"abc", 0},                {"12a", 0},
      {"99999999999", 0}, {"\r\n12", 0},   {std::string("\0\x01\xFF", 3), 0},
  };
  for (const auto& [content, id] : cases) {
    std::ofstream(folder_ + "paramsc", std::ios::binary | std::ios::trunc) << content;
    EXPECT_EQ(nactiparamsc(folder_), id) << "'" << content << "'";
  }
  EXPECT_FALSE(platform::fileExists(folder_ + "dvlog.txt")) << "readable files log nothing";
  EXPECT_EQ(platform::readWholeFile(folder_ + "paramsc"), std::string("\0\x01\xFF", 3)) << "the file is left as it is";
}

TEST_F(Nactiparamsc, MissingFileLogsItsErrorWithTaskIdZero) {
  EXPECT_EQ(nactiparamsc(folder_), 0);
  const std::string log = platform::readWholeFile(folder_ + "dvlog.txt");
  EXPECT_NE(log.find(": ID ulohy: 0: Cannot open file \"" + folder_ + "paramsc\": No such file or directory\r\n"),
            std::string::npos)
      << log;
}

}  // namespace
}  // namespace dorvik
