// The service control library where no service manager runs (our build machines):
// its own rules for an inactive manager, and the clear error that every question
// about the service ends in. The library against a real service manager is
// tested under Wine (tests/wine/wine_servicemanager_test.cpp).
#include "setup/servicemanager/servicemanager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dorvik::setup {
namespace {

std::string errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(TServiceManager, ACreatedManagerIsInactiveAndKeepsItsOwnRules) {
  TServiceManager manager;
  EXPECT_FALSE(manager.Active());
  EXPECT_EQ(manager.ServiceCount(), 0);
  EXPECT_EQ(manager.MachineName(), "");
  EXPECT_FALSE(manager.AllowLocking());

  const struct {
    const char* what;
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {"first entry of an empty list", [&] { manager.Services(0); }, "Index out of bounds"},
      {"negative index", [&] { manager.GetService(-1); }, "Index out of bounds"},
      {"unknown name", [&] { manager.ServiceByName("dvservice"); }, "Service not found"},
      {"delete", [&] { manager.DeleteService(0); }, "Not implemented"},
      {"snapshot while inactive", [&] { manager.RebuildServicesList(); }, "BuildServicesList only works when active"},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.call), c.message) << c.what;

  // Closing an inactive manager changes nothing; while inactive the settings are stored.
  manager.setActive(false);
  manager.setMachineName("werkstatt-pc");
  manager.setAllowLocking(true);
  EXPECT_EQ(manager.MachineName(), "werkstatt-pc");
  EXPECT_TRUE(manager.AllowLocking());
  EXPECT_FALSE(manager.Active());
}

TEST(TServiceAccepts, TakesTheLowThreeBitsOfTheControlsAcceptedWord) {
  const TServiceAccepts accepts = TServiceAccepts::fromControlsAccepted(0xFFu & ~2u);
  EXPECT_TRUE(accepts.contains(saStop));
  EXPECT_FALSE(accepts.contains(saPauseContinue));
  EXPECT_TRUE(accepts.contains(saShutdown));
  EXPECT_EQ(accepts.bits(), 5u);
}

class WithoutServiceManager : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::filesystem::is_directory("/run/systemd/system")) GTEST_SKIP() << "systemd runs on this machine";
  }
  static constexpr const char* kNoManager =
      "Cannot open the service manager: no service manager is running on this computer (systemd was not found).";
};

TEST_F(WithoutServiceManager, OpeningFailsClearlyAndTheManagerStaysInactive) {
  for (const bool allowLocking : {false, true}) {
    TServiceManager manager;
    manager.setAllowLocking(allowLocking);
    try {
      manager.setActive(true);
      ADD_FAILURE() << "became active";
    } catch (const OsError& e) {
      EXPECT_STREQ(e.what(), kNoManager);
      EXPECT_EQ(e.code(), platform::scm_error::kServerUnavailable);
    }
    EXPECT_FALSE(manager.Active());
    EXPECT_EQ(manager.ServiceCount(), 0);
    // Still inactive, so the settings may change.
    manager.setMachineName("other");
    EXPECT_EQ(manager.MachineName(), "other");
  }
}

TEST_F(WithoutServiceManager, TheSetupToolsQuestionsPassTheErrorOnAndReportNoState) {
  // Opening is not guarded by any of the three: the error reaches the caller
  // rather than becoming a state text or an outcome text.
  const std::vector<std::pair<const char*, std::function<std::string()>>> questions = {
      {"stavsluzby", [] { return stavsluzby("dvservice"); }},
      {"zastavsluzbu", [] { return zastavsluzbu("dvservice"); }},
      {"spustsluzbu", [] { return spustsluzbu("dvservice"); }},
  };
  for (const auto& [name, ask] : questions) {
    try {
      const std::string answer = ask();
      ADD_FAILURE() << name << " answered \"" << answer << "\"";
    } catch (const OsError& e) {
      EXPECT_STREQ(e.what(), kNoManager) << name;
    }
  }
}

}  // namespace
}  // namespace dorvik::setup
