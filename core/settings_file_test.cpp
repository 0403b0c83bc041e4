// The settings file on disk: layout, round trips, damaged and foreign files, and a second implementation.
#include "core/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/nastaveni.h"
#include "core/scrambler.h"
#include "platform/error.h"
#include "platform/file_append.h"
#include "tests/common/temp_folder.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
 protected:

  std::string path() const { return folder_ + "dorvik"; }
  void writeRaw(const std::string& bytes) const { std::ofstream(path(), std::ios::binary) << bytes; }

  Nastaveni save(const Nastaveni& n) const {
    IniDocument doc;
    zapisnastaveni(doc, n);
    saveSettingsFile(doc, path());
    return n;
  }
  Nastaveni load() const {
    IniDocument doc = createSettingsDocument(folder_);
    loadSettingsFile(doc, path());
    return prectinastaveni(doc);
  }

  static Nastaveni sample() {
    Nastaveni n;
    n.serverportle = "srv.example.test, 1450";
    n.jmenole = "agent";
    n.heslole = "p@ss;w=rd~\"'";
    n.databazecb = "vorlak db";
    n.osobale = "Servis Novák – Příliš žluťoučký kůň \xF0\x9F\x94\xA7";
    n.smtpjmenole = "mailer";
    n.smtpheslole = std::string(70, 'x') + "konec";
    n.smtpfromle = "servis@example.test";
    n.smtpserverle = "smtp.example.test";
    n.subjektle = "Zkouška";
    n.smtpportle = "465";
    n.chatusercb = "Jiří";
    n.dvscse = 90;
    return n;
  }

  testing::TempFolder temp_;
  const std::string folder_ = temp_.path();
};

TEST_F(SettingsFile, SavedBytesAreBomPlusScrambledLayout) {
  save(Nastaveni{});
  const std::string expectedPlain =
      "[con]\r\nserverportle=localhost,1433\r\njmenole=sa\r\nheslole=\r\ndatabazecb=\r\n\r\n"
      "[mail]\r\nosobale=\r\nsmtpjmenole=\r\nsmtpheslole=\r\nsmtpfromle=\r\nsmtpserverle=\r\nsubjektle=\r\n"
      "smtpportle=\r\n\r\n"
      "[setup]\r\nchatusercb=\r\ndvscse=60\r\n\r\n";
  EXPECT_EQ(platform::readWholeFile(path()), "\xEF\xBB\xBF" + sifruj(expectedPlain, kPassPhrase, true));
  struct stat st {};
  ASSERT_EQ(::stat(path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds passwords";
}

TEST_F(SettingsFile, RoundTripKeepsEveryValue) {
  const Nastaveni n = save(sample());
  EXPECT_EQ(load(), n);
}

TEST_F(SettingsFile, BlanksAroundValuesAreLost) {
  Nastaveni n;
  n.heslole = " heslo ";
  save(n);
  EXPECT_EQ(load().heslole, "heslo");
}

TEST_F(SettingsFile, ChangedLineBreaksStillLoad) {
  const Nastaveni n = save(sample());
  const std::string saved = platform::readWholeFile(path());
  auto replaced = [&](const std::string& with, bool dropLast) {
    std::string out;
    for (size_t i = 0; i < saved.size(); ++i) {
      if (saved.compare(i, 2, "\r\n") == 0) {
        out += with;
        ++i;
      } else {
        out += saved[i];
      }
    }
    if (dropLast) out.resize(out.size() - with.size());
    return out;
  };
  for (const auto& [with, dropLast] : {std::pair{"\n", false}, {"\r", false}, {"\r\n", true}, {"\n", true}}) {
    writeRaw(replaced(with, dropLast));
    EXPECT_EQ(load(), n) << "line break " << (with[0] == '\n' ? "LF" : "CR/CRLF") << (dropLast ? " without final" : "");
  }
}

TEST_F(SettingsFile, FilesInOtherEncodings) {
  const std::string plain = "[mail]\r\nosobale=Jiří Novák\r\n";
  const std::string scrambled = sifruj(plain, kPassPhrase, true);
  // Without a byte-order mark the file is Windows-1250; the Czech letters are not shifted, so swap their bytes.
  std::string ansi = scrambled;
  for (const auto& [utf8, cp1250] : {std::pair{"ř", "\xF8"}, {"í", "\xED"}, {"á", "\xE1"}}) {
    ansi.replace(ansi.find(utf8), std::string(utf8).size(), cp1250);
  }
  writeRaw(ansi);
  EXPECT_EQ(load().osobale, "Jiří Novák");

  std::string utf16 = "\xFF\xFE";
  const std::u16string scrambled16 = [&] {
    std::u16string out;
    // Re-encode the scrambled UTF-8 text as UTF-16LE by hand for the ASCII part and the three letters.
    for (size_t i = 0; i < scrambled.size();) {
      const auto c = static_cast<unsigned char>(scrambled[i]);
      if (c < 0x80) {
        out.push_back(c);
        ++i;
      } else {
        out.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (scrambled[i + 1] & 0x3F)));
        i += 2;
      }
    }
    return out;
  }();
  for (char16_t u : scrambled16) {
    utf16.push_back(static_cast<char>(u & 0xFF));
    utf16.push_back(static_cast<char>(u >> 8));
  }
  writeRaw(utf16);
  EXPECT_EQ(load().osobale, "Jiří Novák");
}

TEST_F(SettingsFile, EmptyForeignOrGarbledFilesGiveDefaults) {
  const Nastaveni defaults;
  writeRaw("");
  EXPECT_EQ(load(), defaults) << "empty file";

  IniDocument doc;
  zapisnastaveni(doc, sample());
  writeRaw("\xEF\xBB\xBF" + sifruj(doc.text(), "Another#Phr1", true));
  EXPECT_EQ(load(), defaults) << "scrambled with another phrase";

  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));
  writeRaw(garbage);
  EXPECT_NO_THROW(load()) << "garbled bytes";
}

TEST_F(SettingsFile, UnreadableFileReachesTheCaller) {
  fs::create_directory(path());  // a folder where the file should be cannot be read, even by root
  EXPECT_THROW(load(), FileError);
}

TEST_F(SettingsFile, PlainIniSeedsTheSettingsUntilTheScrambledFileReplacesThem) {
  std::ofstream(folder_ + "dorvik.ini") << "[con]\r\njmenole=fromplain\r\n[setup]\r\ndvscse=45\r\n";
  EXPECT_EQ(load().jmenole, "fromplain");
  EXPECT_EQ(load().dvscse, 45);
  Nastaveni n;
  n.jmenole = "fromfile";
  save(n);
  EXPECT_EQ(load().jmenole, "fromfile");
}

TEST_F(SettingsFile, MissingFileLeavesTheDocumentAlone) {
  IniDocument doc;
  doc.setText("[con]\r\njmenole=previous\r\n");
  EXPECT_FALSE(loadSettingsFile(doc, path()));
  EXPECT_EQ(doc.value("con", "jmenole"), "previous");
}

// The other implementation lives in core/testdata/settings_reference.py and
// is run with Debian's Python.
std::string runReference(const std::string& arguments) {
  const std::string command =
      "/usr/bin/python3 " DORVIK_SOURCE_DIR "/core/testdata/settings_reference.py " + arguments;
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0) << command;
  return out;
}

TEST_F(SettingsFile, InteroperatesWithASecondImplementation) {
  runReference("write " + path() +
               " '{\"con\": {\"serverportle\": \"db, 1450\", \"heslole\": \"tajné\"}, "
               "\"mail\": {\"osobale\": \"Dílna \\ud83d\\udd27 Novák\", \"smtpheslole\": \"" +
               std::string(80, 'q') + "\"}, \"setup\": {\"dvscse\": \"0x5A\"}}'");
  const Nastaveni loaded = load();
  EXPECT_EQ(loaded.serverportle, "db, 1450");
  EXPECT_EQ(loaded.heslole, "tajné");
  EXPECT_EQ(loaded.osobale, "Dílna \xF0\x9F\x94\xA7 Novák");
  EXPECT_EQ(loaded.smtpheslole, std::string(80, 'q'));
  EXPECT_EQ(loaded.dvscse, 90) << "hexadecimal with 0x";
  EXPECT_EQ(loaded.jmenole, "sa") << "absent key reads as its default";

  save(sample());
  const std::string json = runReference("read " + path());
  EXPECT_NE(json.find("\"osobale\": \"Servis Novák – Příliš žluťoučký kůň \xF0\x9F\x94\xA7\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"heslole\": \"p@ss;w=rd~\\\"'\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"dvscse\": \"90\""), std::string::npos) << json;
}

}  // namespace
}  // namespace dorvik
