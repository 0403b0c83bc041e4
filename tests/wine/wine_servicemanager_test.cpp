// The service control library against Wine's service manager: the cross-built
// servicemanager_driver.exe runs one operation of the library per call, on the
// service that the cross-built dvsc.exe registers.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/wine/wine_session.h"

namespace dorvik {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;
using namespace std::chrono_literals;

// The same file as Wine's programs see it: on the drive Z: that maps the root.
std::string windowsPath(const fs::path& path) {
  std::string out = "Z:" + path.string();
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

class WineServiceManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path win64 = DORVIK_WIN64_DIR;
    const fs::path dvsc = win64 / "setup" / "dvsc" / "dvsc.exe";
    const fs::path driver = win64 / "tests" / "wine" / "servicemanager_driver.exe";
    for (const fs::path& program : {dvsc, driver}) {
      if (const std::string why = wine::whyWineCannotRun(program); !why.empty()) GTEST_SKIP() << why;
    }
    // The prefix of the other Wine test: booted once, used by one test at a time.
    const fs::path work = fs::path(DORVIK_TEST_BUILD_DIR) / "wine-test";
    wine_ = std::make_unique<wine::WineSession>(work / "wine-prefix");
    const fs::path setup = work / "servicemanager setup";  // a blank, as in "Program Files"
    fs::remove_all(setup);
    fs::create_directories(setup / "dvsc");
    fs::copy_file(dvsc, setup / "dvsc" / "dvsc.exe");
    dvsc_ = setup / "dvsc" / "dvsc.exe";
    driver_ = wine::quoted(driver.string());
    ASSERT_EQ(wine_->serviceState("dvservice"), "") << "a dvservice from elsewhere is registered in the prefix";
  }

  void TearDown() override {
    if (!wine_) return;
    if (!wine_->serviceState("dvservice").empty()) {
      wine_->wine("net stop dvservice");
      wine_->wine(wine::quoted(dvsc_.string()) + " /uninstall /silent");
    }
    if (wine_->serviceState("dvservice").empty()) wine_->markClean();
    wine_.reset();
  }

  // The driver's answer, one line without its line end.
  std::string driver(const std::string& arguments) const {
    std::string out = wine_->wine(driver_ + " " + arguments).output;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
  }

  // Runs dvsc.exe with a switch through runAndWait, from a path with a blank in it as the setup tool may have.
  std::string dvscThroughRunAndWait(const std::string& option) const {
    return driver("run " + wine::quoted("\"" + windowsPath(dvsc_) + "\" " + option + " /silent"));
  }

  std::unique_ptr<wine::WineSession> wine_;
  fs::path dvsc_;
  std::string driver_;
};

TEST_F(WineServiceManagerTest, AServiceThatIsNotInstalled) {
  EXPECT_EQ(driver("stavsluzby dvservice"), "ok nenainstalováno");
  EXPECT_EQ(driver("spustsluzbu dvservice"), "ok [Service not found]");
  EXPECT_EQ(driver("zastavsluzbu dvservice"), "ok [Service not found]");
  EXPECT_EQ(driver("find dvservice"), "error - Service not found");
  // Opened past the library's snapshot, the manager itself refuses.
  EXPECT_THAT(driver("face-open dvservice"), StartsWith("error 1060 "));
  // Wine runs its programs as an administrator.
  EXPECT_EQ(driver("admin"), "ok 1");
  // Wine's own services make the snapshot; while active the manager keeps it and its settings.
  EXPECT_EQ(driver("active-rules"),
            "ok kept=1 errors=Cannot change machine name while active;Cannot change allow locking while active;"
            "Index out of bounds; inactive=1 count=0");
}

TEST_F(WineServiceManagerTest, RegisteredStartedPausedStoppedAndRemoved) {
  {
    SCOPED_TRACE("registration through runAndWait");
    EXPECT_EQ(dvscThroughRunAndWait("/install"), "ok waited=1");
    ASSERT_EQ(wine_->serviceState("dvservice"), "STOPPED");
  }
  {
    SCOPED_TRACE("snapshot, lookup and configuration");
    EXPECT_THAT(driver("find dvservice"),
                MatchesRegex(R"(ok index=[0-9]+ name=dvservice display=dorvik service count=[0-9]+ same=1 stopped accepts=0)"));
    // The lookup ignores case; the state question does not.
    EXPECT_THAT(driver("find DVSERVICE"), HasSubstr(" name=dvservice "));
    EXPECT_EQ(driver("stavsluzby dvservice"), "ok vypnuto");
    EXPECT_EQ(driver("stavsluzby DVService"), "ok nenainstalováno");
    EXPECT_THAT(driver("config dvservice"),
                MatchesRegex(R"(ok starttype=automatic own=1 interactive=0 path="[A-Z]:\\.*\\servicemanager setup\\dvsc\\dvsc\.exe")"));
    EXPECT_EQ(driver("dependents dvservice"), "ok 0");
    EXPECT_EQ(driver("delete dvservice"), "error - Not implemented");
  }
  {
    SCOPED_TRACE("a stopped service");
    // It accepts no control, so the library sends none.
    EXPECT_EQ(driver("zastavsluzbu dvservice"), "ok [Service cannot be Stopped]");
    EXPECT_THAT(driver("face-stop dvservice"), StartsWith("error 1062 "));
  }
  {
    SCOPED_TRACE("start type, under the database lock");
    EXPECT_EQ(driver("starttype dvservice manual nolock"), "error - Locking of the service manager not allowed!");
    EXPECT_EQ(driver("starttype dvservice manual"), "ok manual");
    EXPECT_EQ(driver("starttype dvservice disabled"), "ok disabled");
    EXPECT_EQ(driver("starttype dvservice automatic"), "ok automatic");
  }
  {
    SCOPED_TRACE("start without waiting");
    EXPECT_EQ(driver("spustsluzbu dvservice"), "ok []");
    EXPECT_TRUE(wine::eventually([&] { return driver("stavsluzby dvservice") == "ok spuštěno"; }, 30s))
        << driver("stavsluzby dvservice");
    // The manager refuses a second start: its own code and text.
    const std::string again = driver("face-start dvservice");
    EXPECT_THAT(again, StartsWith("error 1056 "));
    EXPECT_EQ(driver("spustsluzbu dvservice"), "ok [" + again.substr(std::string("error 1056 ").size()) + "]");
  }
  {
    SCOPED_TRACE("pause and continue, waited for");
    EXPECT_EQ(driver("order pause dvservice wait"), "ok paused accepts=7");
    EXPECT_EQ(driver("stavsluzby dvservice"), "ok pozastaveno");
    EXPECT_EQ(driver("order continue dvservice wait"), "ok running accepts=7");
    EXPECT_EQ(driver("setstate dvservice start-pending"), "error - Cannot set a transitional state in TServiceInfo.");
  }
  {
    SCOPED_TRACE("stop, waited for");
    EXPECT_EQ(driver("order stop dvservice wait"), "ok stopped accepts=0");
    EXPECT_EQ(driver("stavsluzby dvservice"), "ok vypnuto");
  }
  {
    SCOPED_TRACE("the state written");
    EXPECT_EQ(driver("setstate dvservice paused"), "ok paused accepts=7");  // started, then paused
    EXPECT_EQ(driver("setstate dvservice running"), "ok running accepts=7");
    EXPECT_EQ(driver("setstate dvservice stopped"), "ok stopped accepts=0");
  }
  {
    SCOPED_TRACE("stop of a stopped service, then removal through runAndWait");
    EXPECT_EQ(driver("zastavsluzbu dvservice"), "ok [Service cannot be Stopped]");
    EXPECT_EQ(dvscThroughRunAndWait("/uninstall"), "ok waited=1");
    EXPECT_EQ(driver("stavsluzby dvservice"), "ok nenainstalováno");
  }
}

}  // namespace
}  // namespace dorvik
