// The Windows build of dvsc under Wine: registration, start and polls through Wine's service manager, stop, removal.
#include <gtest/gtest.h>
#include <gmock/gmock.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/ini_document.h"
#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "platform/file_append.h"
#include "tests/wine/wine_session.h"

#ifdef DORVIK_WINE_WITH_STANDIN
#include "core/agent_tables.h"
#include "tests/support/standin_server.h"
#include "tests/common/closed_port.h"
#endif

namespace dorvik {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

using wine::eventually;
using wine::Outcome;
using wine::quoted;
using wine::WineSession;

void writeSettings(const fs::path& setupFolder, const std::string& serverport, const std::string& databaze,
                   const std::string& jmeno, const std::string& heslo) {
  Nastaveni n;
  n.serverportle = serverport;
  n.databazecb = databaze;
  n.jmenole = jmeno;
  n.heslole = heslo;
  n.dvscse = 1;
  IniDocument settings;
  zapisnastaveni(settings, n);
  saveSettingsFile(settings, (setupFolder / std::string(kSettingsFileName)).string());
}

std::vector<std::string> logLines(const fs::path& log) {
  std::vector<std::string> lines;
  if (!fs::exists(log)) return lines;
  std::istringstream in(platform::readWholeFile(log.string()));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t countContaining(const std::vector<std::string>& lines, const std::string& part) {
  std::size_t n = 0;
  for (const std::string& l : lines) n += l.find(part) != std::string::npos;
  return n;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

// A setup folder with the Windows service in its dvsc subfolder, a Wine
// session around it, and the service removed again at the end.
class WineServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path exe = fs::path(DORVIK_WIN64_DIR) / "setup" / "dvsc" / "dvsc.exe";
    if (const std::string why = wine::whyWineCannotRun(exe); !why.empty()) GTEST_SKIP() << why;
    const fs::path work = fs::path(DORVIK_TEST_BUILD_DIR) / "wine-test";
    wine_ = std::make_unique<WineSession>(work / "wine-prefix");
    setup_ = work / "setup";
    fs::remove_all(setup_);
    fs::create_directories(setup_ / "dvsc");
    fs::copy_file(exe, setup_ / "dvsc" / "dvsc.exe");
    dvsc_ = quoted((setup_ / "dvsc" / "dvsc.exe").string());
    log_ = setup_ / "dvsc" / "dvsc.log";
    ASSERT_EQ(wine_->serviceState("dvservice"), "") << "a dvservice from elsewhere is registered in the prefix";
  }

  void TearDown() override {
    if (!wine_) return;
    if (!wine_->serviceState("dvservice").empty()) wine_->wine(dvsc_ + " /uninstall /silent");
    if (wine_->serviceState("dvservice").empty()) wine_->markClean();
    wine_.reset();
  }

  std::unique_ptr<WineSession> wine_;
  fs::path setup_, log_;
  std::string dvsc_;
};

TEST_F(WineServiceTest, RegistersStartsPollsStopsAndRemoves) {
  // Nothing listens on the server's port: every poll fails to connect.
  writeSettings(setup_, "127.0.0.1," + std::to_string(dorvik::testing::closedPort()), "vorlak", "sa", "Heslo1");
  {
    SCOPED_TRACE("registration");
    const Outcome installed = wine_->wine(dvsc_ + " /install /silent");
    EXPECT_EQ(installed.exitCode, 0) << installed.output;
    EXPECT_THAT(installed.output, IsEmpty()) << "/silent prints nothing";
    EXPECT_EQ(wine_->serviceState("dvservice"), "STOPPED");

    // The identity the service manager keeps: own process, automatic start, normal errors, LocalSystem.
    const Outcome key = wine_->wine("reg query 'HKLM\\System\\CurrentControlSet\\Services\\dvservice'");
    ASSERT_EQ(key.exitCode, 0) << key.output;
    for (const char* value : {R"(DisplayName\s+REG_SZ\s+dorvik service)", R"(Type\s+REG_DWORD\s+0x10\b)",
                              R"(Start\s+REG_DWORD\s+0x2\b)", R"(ErrorControl\s+REG_DWORD\s+0x1\b)",
                              R"(ObjectName\s+REG_SZ\s+LocalSystem)",
                              R"(ImagePath\s+REG_\w+\s+"[A-Z]:\\.*\\setup\\dvsc\\dvsc\.exe")"}) {
      EXPECT_TRUE(std::regex_search(key.output, std::regex(value))) << value << "\n" << key.output;
    }

    const Outcome again = wine_->wine(dvsc_ + " /install /silent");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.output, HasSubstr("Error: Cannot install the service dvservice: it is already installed."));
  }
  {
    SCOPED_TRACE("start and polls that cannot connect");
    const Outcome started = wine_->wine("net start dvservice");
    EXPECT_EQ(started.exitCode, 0) << started.output;
    EXPECT_EQ(wine_->serviceState("dvservice"), "RUNNING");
    // One connection-failure line per poll at the one-second interval: the
    // timer, the settings file, the service log and ODBC all work under Wine.
    const std::string failure = ": 127.0.0.1:  chyba: DatabaseError, ";
    EXPECT_TRUE(eventually([&] { return countContaining(logLines(log_), failure) >= 2; }, 20s))
        << joined(logLines(log_));
    for (const std::string& line : logLines(log_)) {
      // A message over several lines carries the prefix on its first line only.
      if (line.find("chyba") == std::string::npos) continue;
      EXPECT_TRUE(std::regex_match(line, std::regex(R"(\S+ \S+( \S+)?: 127\.0\.0\.1:  chyba: DatabaseError, .+\r)")))
          << line;
    }
  }
  {
    SCOPED_TRACE("pause and continue");
    // Pausing is accepted and changes nothing: the polls go on.
    const std::string control = quoted((fs::path(DORVIK_WIN64_DIR) / "tests" / "wine" / "service_control.exe").string());
    const Outcome paused = wine_->wine(control + " dvservice pause");
    EXPECT_EQ(paused.exitCode, 0) << paused.output;
    EXPECT_THAT(paused.output, HasSubstr("PAUSED"));
    EXPECT_EQ(wine_->serviceState("dvservice"), "PAUSED");
    const std::size_t polls = logLines(log_).size();
    EXPECT_TRUE(eventually([&] { return logLines(log_).size() > polls; }, 10s)) << "polls while paused";
    const Outcome continued = wine_->wine(control + " dvservice continue");
    EXPECT_EQ(continued.exitCode, 0) << continued.output;
    EXPECT_THAT(continued.output, HasSubstr("RUNNING"));
    EXPECT_EQ(wine_->serviceState("dvservice"), "RUNNING");
  }
  {
    SCOPED_TRACE("stop");
    const Outcome stopped = wine_->wine("net stop dvservice");
    EXPECT_EQ(stopped.exitCode, 0) << stopped.output;
    EXPECT_EQ(wine_->serviceState("dvservice"), "STOPPED");
    const std::size_t lines = logLines(log_).size();
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(logLines(log_).size(), lines) << "no poll after the stop\n" << joined(logLines(log_));
  }
  {
    SCOPED_TRACE("removal");
    const Outcome removed = wine_->wine(dvsc_ + " /uninstall /silent");
    EXPECT_EQ(removed.exitCode, 0) << removed.output;
    EXPECT_THAT(removed.output, IsEmpty());
    EXPECT_EQ(wine_->serviceState("dvservice"), "");
    const Outcome again = wine_->wine(dvsc_ + " /uninstall");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.output, HasSubstr("Error: Cannot uninstall the service dvservice: it is not installed."));
  }
}

#ifdef DORVIK_WINE_WITH_STANDIN
// The stand-in's clock stands at 08:10 and runs on: task 1 (minute 10) is due.
TEST_F(WineServiceTest, RecoversWhenTheSettingsNameAReachableServerAndLaunchesTheDueTaskOnce) {
  test::StandinServer::Options options;
  options.clock = "2026-03-07 08:10:02";
  test::StandinServer server(options);
  test::runScript(server, "vorlak",
                  std::string(kCreateUlohyLine1) + "\r\n" + std::string(kCreateUlohyLine2) +
                      "\ngo\n"
                      "insert into ulohy (druh,cas,platnostdo,aktivni) values "
                      "('zakazka','1899-12-30 09:10','2099-01-01',1),"   // 1: due in minute 10
                      "('zakazka','1899-12-30 08:11','2099-01-01',1),"   // 2: another minute
                      "('zakazka','1899-12-30 08:10','2099-01-01',0),"   // 3: switched off
                      "('zakazka','1899-12-30 08:10','2020-01-01',1)\n"  // 4: expired
                      "go\n");

  writeSettings(setup_, "127.0.0.1," + std::to_string(dorvik::testing::closedPort()), "vorlak", "sa", "Heslo1");
  ASSERT_EQ(wine_->wine(dvsc_ + " /install /silent").exitCode, 0);
  ASSERT_EQ(wine_->wine("net start dvservice").exitCode, 0);
  EXPECT_TRUE(eventually([&] { return countContaining(logLines(log_), " chyba: ") >= 1; }, 20s))
      << joined(logLines(log_));

  // Replaced while the service runs: the next poll reads it and connects.
  writeSettings(setup_, server.serverPort(), "vorlak", "sa", "Heslo1");
  // The Windows build has no runner (it needs a TLS library): the launch is
  // logged, then the line that says why nothing was started.
  EXPECT_TRUE(eventually([&] { return countContaining(logLines(log_), "nebyla spuštěna") >= 1; }, 20s))
      << joined(logLines(log_));
  std::this_thread::sleep_for(2500ms);  // further polls inside minute 10 of the server's clock
  ASSERT_EQ(wine_->wine("net stop dvservice").exitCode, 0);

  const std::vector<std::string> lines = logLines(log_);
  EXPECT_EQ(countContaining(lines, "\\dvsc\\..\\uloha.exe;1\r"), 1u) << "once in its minute\n" << joined(lines);
  for (const char* other : {".exe;2", ".exe;3", ".exe;4"}) EXPECT_EQ(countContaining(lines, other), 0u) << joined(lines);
  EXPECT_EQ(countContaining(lines, ": 127.0.0.1: Úloha 1 nebyla spuštěna: "), 1u) << joined(lines);
  const fs::path paramsc = setup_ / "paramsc";
  ASSERT_TRUE(fs::exists(paramsc));
  EXPECT_EQ(platform::readWholeFile(paramsc.string()), "1") << "the id alone, no line end";
}
#endif

}  // namespace
}  // namespace dorvik
