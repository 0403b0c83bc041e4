// POSIX face of the service host: a foreground process under systemd, stopped by SIGTERM or SIGINT.
#include "platform/service_host.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "platform/error.h"

namespace dorvik::platform {
namespace {

constexpr const char* kUnitFolder = "/etc/systemd/system/";

// Stop requests arrive as signals, which a dedicated thread takes with sigwait.
class SignalStop : public ServiceControl {
 public:
  SignalStop() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGTERM);
    sigaddset(&signals_, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    waiter_ = std::thread([this] {
      int received = 0;
      sigwait(&signals_, &received);
      std::lock_guard lock(mutex_);
      stopped_ = true;
      changed_.notify_all();
    });
  }
  ~SignalStop() override {
    if (!stopRequested()) ::kill(::getpid(), SIGTERM);  // wakes the waiting thread
    waiter_.join();
  }
  bool waitForStop(std::chrono::milliseconds timeout) override {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return stopped_; });
  }

 private:
  bool stopRequested() {
    std::lock_guard lock(mutex_);
    return stopped_;
  }
  sigset_t signals_{};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
  std::thread waiter_;
};

bool serviceManagerRunning() {
  struct stat st {};
  return ::stat("/run/systemd/system", &st) == 0 && S_ISDIR(st.st_mode);
}

void requireServiceManager(const char* action) {
  if (!serviceManagerRunning()) {
    throw Error(std::string("Cannot ") + action +
                " the service: no service manager is running on this computer (systemd was not found).");
  }
}

void systemctl(const std::string& arguments, bool mustSucceed) {
  const std::string command = "systemctl " + arguments + " >/dev/null 2>&1";
  const int rc = std::system(command.c_str());
  if (mustSucceed && rc != 0) throw Error("The service manager refused: systemctl " + arguments);
}

}  // namespace

int runService(const ServiceIdentity& /*identity*/, const ServiceEvents& events,
               const std::function<void(ServiceControl&)>& body) {
  SignalStop control;
  if (events.start) events.start();
  body(control);
  if (events.shutdown) events.shutdown();
  return 0;
}

std::string systemdUnitText(const ServiceIdentity& identity) {
  return "[Unit]\n"
         "Description=" + identity.displayName + "\n"
         "After=network-online.target\n"
         "Wants=network-online.target\n"
         "\n"
         "[Service]\n"
         "Type=simple\n"
         "ExecStart=\"" + identity.executable + "\"\n"
         "Restart=on-failure\n"
         "RestartSec=5\n"
         "KillMode=control-group\n"
         "\n"
         "[Install]\n"
         "WantedBy=multi-user.target\n";
}

void installService(const ServiceIdentity& identity) {
  requireServiceManager("install");
  const std::string unit = std::string(kUnitFolder) + identity.name + ".service";
  {
    std::ofstream out(unit, std::ios::trunc);
    out << systemdUnitText(identity);
    if (!out.flush()) throw FileError("Cannot write the service unit \"" + unit + "\"");
  }
  systemctl("daemon-reload", true);
  systemctl("enable " + identity.name + ".service", true);
}

void uninstallService(const ServiceIdentity& identity) {
  requireServiceManager("uninstall");
  const std::string unit = std::string(kUnitFolder) + identity.name + ".service";
  systemctl("stop " + identity.name + ".service", false);
  systemctl("disable " + identity.name + ".service", false);
  if (::unlink(unit.c_str()) != 0 && errno != ENOENT) throw FileError("Cannot remove the service unit \"" + unit + "\"");
  systemctl("daemon-reload", true);
}

}  // namespace dorvik::platform
