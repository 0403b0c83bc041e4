// The Win32 faces of the update's platform parts under Wine, through the cross-built platform_probe.exe:
// the version resource of the cross-built service, WinHTTP downloads from the HTTP peer on 127.0.0.1
// and the process snapshot.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "platform/file_append.h"
#include "platform/file_version.h"
#include "tests/support/http_peer.h"
#include "tests/wine/wine_session.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using wine::Outcome;
using wine::quoted;
using wine::WineSession;

const fs::path kWin64 = DORVIK_WIN64_DIR;
const fs::path kProbe = kWin64 / "tests" / "wine" / "platform_probe.exe";
const fs::path kService = kWin64 / "setup" / "dvsc" / "dvsc.exe";

// The same file as Wine's drive Z: names it.
std::string windowsPath(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).string();
  for (char& c : text) c = c == '/' ? '\\' : c;
  return text;
}

std::string binaryBody(std::size_t size) {
  std::string body(size, '\0');
  unsigned state = 777;
  for (char& c : body) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return body;
}

// One Wine session for all cases: each probe run then costs only Wine's start of a program.
class WinePlatform : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skipReason_ = wine::whyWineCannotRun(kProbe);
    if (skipReason_.empty()) skipReason_ = wine::whyWineCannotRun(kService);
    if (!skipReason_.empty()) return;
    wine_ = new WineSession(fs::path(DORVIK_TEST_BUILD_DIR) / "wine-test" / "wine-prefix");
    wine_->markClean();  // the probe registers nothing
  }
  static void TearDownTestSuite() {
    delete wine_;
    wine_ = nullptr;
  }
  void SetUp() override {
    if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    work_ = fs::path(DORVIK_TEST_BUILD_DIR) / "wine-platform-test";
    fs::remove_all(work_);
    fs::create_directories(work_);
  }

  Outcome probe(const std::string& arguments) const { return wine_->wine(quoted(kProbe.string()) + " " + arguments); }

  static inline WineSession* wine_ = nullptr;
  static inline std::string skipReason_;
  fs::path work_;
};

TEST_F(WinePlatform, VersionResourceOfTheCrossBuiltService) {
  const platform::FileVersion project{DORVIK_VERSION_MAJOR, DORVIK_VERSION_MINOR, DORVIK_VERSION_RELEASE,
                                      DORVIK_VERSION_BUILD};
  const Outcome service = probe("version " + quoted(windowsPath(kService)));
  ASSERT_EQ(service.exitCode, 0) << service.output;
  EXPECT_EQ(service.output, platform::versionText(project) + "\n");
  // A program without a version resource, a text file and a missing file: no version.
  std::ofstream(work_ / "readme.txt") << "text\n";
  for (const fs::path& file : {kProbe, work_ / "readme.txt", work_ / "missing.exe"}) {
    const Outcome none = probe("version " + quoted(windowsPath(file)));
    EXPECT_EQ(none.exitCode, 0) << none.output;
    EXPECT_EQ(none.output, "\n") << file;
  }
}

TEST_F(WinePlatform, WinHttpDownloadsWholeFilesAndRefusesEverythingElse) {
  testing::HttpPeer peer;
  const std::string program = binaryBody(1'500'000);
  const std::string url = peer.publish("data/vorlak8/uloha.exe", program);
  const fs::path target = work_ / "uloha.exe";
  const Outcome whole = probe("download " + quoted(url) + " " + quoted(windowsPath(target)));
  ASSERT_EQ(whole.exitCode, 0) << whole.output;
  EXPECT_EQ(platform::readWholeFile(target.string()), program);

  peer.truncate("data/vorlak8/uloha.exe");
  const Outcome cut = probe("download " + quoted(url) + " " + quoted(windowsPath(target)));
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_THAT(cut.output, HasSubstr("error: Incomplete answer from " + url));

  const std::string missing = peer.baseUrl() + "/data/vorlak8/dvsc.exe";
  const Outcome notFound = probe("download " + quoted(missing) + " " + quoted(windowsPath(work_ / "dvsc.exe")));
  EXPECT_EQ(notFound.exitCode, 1);
  EXPECT_THAT(notFound.output, HasSubstr("error: HTTP 404 Not Found: " + missing));
}

TEST_F(WinePlatform, WinHttpGetSendsTheRequestHeaders) {
  testing::HttpPeer peer;
  const std::string document = "<verze><verzedv>1.00.00.00</verzedv></verze>";
  const Outcome got = probe("get " + quoted(peer.publish("data/vorlak8/dv.php", document)));
  ASSERT_EQ(got.exitCode, 0) << got.output;
  EXPECT_EQ(got.output, document);
  ASSERT_EQ(peer.requests().size(), 1u);
  EXPECT_THAT(peer.requests()[0], StartsWith("GET /data/vorlak8/dv.php HTTP/1.1\r\n"));
  EXPECT_THAT(peer.requests()[0], HasSubstr("\r\nAccept: */*\r\n"));
  EXPECT_THAT(peer.requests()[0], HasSubstr("\r\nContent-Type: text/xml\r\n"));
}

TEST_F(WinePlatform, ProcessSnapshotListsTheProbe) {
  const Outcome listed = probe("processes");
  ASSERT_EQ(listed.exitCode, 0) << listed.output;
  std::smatch self;
  ASSERT_TRUE(std::regex_search(listed.output, self, std::regex(R"(^self (\d+)\r?\n)"))) << listed.output;
  EXPECT_THAT(listed.output, HasSubstr("\n" + self[1].str() + " platform_probe.exe\n"));
}

TEST_F(WinePlatform, ConnectedStateAnswers) {
  const Outcome connected = probe("connected");
  EXPECT_EQ(connected.exitCode, 0) << connected.output;
  EXPECT_THAT(connected.output, ::testing::AnyOf(std::string("1\n"), std::string("0\n")));
}

}  // namespace
}  // namespace dorvik
