// The POSIX service host: the systemd unit, installing without systemd, and stopping on SIGTERM.
#include "platform/service_host.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/error.h"

namespace dorvik::platform {
namespace {

const ServiceIdentity kIdentity{"dvservice", "dorvik service", "/opt/dorvik setup/dvsc/dvsc"};

TEST(ServiceHost, UnitText) {
  const std::string unit = systemdUnitText(kIdentity);
  for (const char* line : {"Description=dorvik service\n", "ExecStart=\"/opt/dorvik setup/dvsc/dvsc\"\n",
                           "Restart=on-failure\n", "WantedBy=multi-user.target\n", "Type=simple\n"}) {
    EXPECT_NE(unit.find(line), std::string::npos) << line;
  }
}

TEST(ServiceHost, InstallWithoutAServiceManagerSaysSo) {
  struct stat st {};
  if (::stat("/run/systemd/system", &st) == 0) GTEST_SKIP() << "systemd runs here";
  try {
    installService(kIdentity);
    FAIL() << "installed without a service manager";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot install the service: no service manager is running on this computer (systemd was not found).");
  }
  EXPECT_THROW(uninstallService(kIdentity), Error);
}

TEST(ServiceHost, StopRequestEndsTheLoop) {
  bool started = false, shutDown = false;
  int waits = 0;
  const int rc = runService(
      kIdentity, {[&] { started = true; }, [&] { shutDown = true; }}, [&](ServiceControl& control) {
        std::thread stopper([] {
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
          ::kill(::getpid(), SIGTERM);
        });
        while (!control.waitForStop(std::chrono::milliseconds(20))) ++waits;
        stopper.join();
      });
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(started);
  EXPECT_TRUE(shutDown);
  EXPECT_GT(waits, 0);
}

}  // namespace
}  // namespace dorvik::platform
