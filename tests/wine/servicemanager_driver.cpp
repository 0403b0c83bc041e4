// servicemanager_driver.exe: one operation of the service control library (or
// of the platform face below it) per run, for the Wine test. Prints "ok" and the
// result, or "error <code> <message>" (code "-" for the library's own errors).
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/admin_rights.h"
#include "platform/os_error.h"
#include "platform/run_and_wait.h"
#include "platform/service_manager.h"
#include "setup/servicemanager/servicemanager.h"

namespace {

using namespace dorvik;
using namespace dorvik::setup;
namespace access = platform::service_access;

const char* stateName(TServiceState s) {
  static const char* const names[] = {"stopped",           "start-pending", "stop-pending", "running",
                                      "continue-pending",  "pause-pending", "paused"};
  return names[s];
}

TServiceState stateNamed(const std::string& name) {
  for (int s = ssStopped; s <= ssPaused; ++s) {
    if (name == stateName(static_cast<TServiceState>(s))) return static_cast<TServiceState>(s);
  }
  throw Error("unknown state " + name);
}

const char* startupName(TServiceStartup s) {
  static const char* const names[] = {"automatic", "manual", "disabled"};
  return names[s];
}

TServiceStartup startupNamed(const std::string& name) {
  for (int s = ssAutomatic; s <= ssDisabled; ++s) {
    if (name == startupName(static_cast<TServiceStartup>(s))) return static_cast<TServiceStartup>(s);
  }
  throw Error("unknown start type " + name);
}

// A manager opened on this computer; `locking` asks for the right to lock.
struct Opened {
  explicit Opened(bool locking = false) {
    manager.setAllowLocking(locking);
    manager.setActive(true);
  }
  TServiceManager manager;
};

void printStatus(TServiceInfo& s, const char* prefix = "ok ") {
  std::printf("%s%s accepts=%u\n", prefix, stateName(s.State()), s.Accepts().bits());
}

using Command = std::function<void(const std::vector<std::string>&)>;

const std::map<std::string, Command>& commands() {
  static const std::map<std::string, Command> table = {
      // find NAME: the snapshot's entry (case-insensitive lookup) with its index and status.
      {"find",
       [](const auto& a) {
         Opened o;
         TServiceInfo& s = o.manager.ServiceByName(a.at(0));
         std::printf("ok index=%d name=%s display=%s count=%d ", s.Index(), s.ServiceName().c_str(),
                     s.DisplayName().c_str(), o.manager.ServiceCount());
         std::printf("same=%d ", &o.manager.Services(s.Index()) == &s ? 1 : 0);
         printStatus(s, "");
       }},
      // status NAME: read live from the manager.
      {"status",
       [](const auto& a) {
         Opened o;
         TServiceInfo& s = o.manager.ServiceByName(a.at(0));
         s.setLive(true);
         printStatus(s);
       }},
      {"config",
       [](const auto& a) {
         Opened o;
         TServiceInfo& s = o.manager.ServiceByName(a.at(0));
         std::printf("ok starttype=%s own=%d interactive=%d path=%s\n", startupName(s.StartType()), s.OwnProcess() ? 1 : 0,
                     s.Interactive() ? 1 : 0, s.BinaryPath().c_str());
       }},
      // start|stop|pause|continue NAME [wait]: then the state read live.
      {"order",
       [](const auto& a) {
         Opened o;
         TServiceInfo& s = o.manager.ServiceByName(a.at(1));
         const bool wait = a.size() > 2 && a[2] == "wait";
         if (a.at(0) == "start") s.ServiceStart(wait);
         else if (a[0] == "stop") s.ServiceStop(wait);
         else if (a[0] == "pause") s.ServicePause(wait);
         else if (a[0] == "continue") s.ServiceContinue(wait);
         else throw Error("unknown order " + a[0]);
         s.setLive(true);
         printStatus(s);
       }},
      // setstate NAME STATE: the State property written.
      {"setstate",
       [](const auto& a) {
         Opened o;
         TServiceInfo& s = o.manager.ServiceByName(a.at(0));
         s.setState(stateNamed(a.at(1)));
         s.setLive(true);
         printStatus(s);
       }},
      // starttype NAME TYPE [nolock]: written, then read back by a new manager.
      {"starttype",
       [](const auto& a) {
         {
           Opened o(!(a.size() > 2 && a[2] == "nolock"));
           o.manager.ServiceByName(a.at(0)).setStartType(startupNamed(a.at(1)));
         }
         Opened again;
         std::printf("ok %s\n", startupName(again.manager.ServiceByName(a.at(0)).StartType()));
       }},
      {"dependents",
       [](const auto& a) {
         Opened o;
         std::printf("ok %d\n", o.manager.ServiceByName(a.at(0)).DependentCount());
       }},
      {"delete",
       [](const auto& a) {
         Opened o;
         o.manager.DeleteService(o.manager.ServiceByName(a.at(0)).Index());
       }},
      // The manager's rules while active: a second activation keeps the snapshot, settings refuse to change.
      {"active-rules",
       [](const auto&) {
         Opened o;
         TServiceInfo* first = &o.manager.Services(0);
         o.manager.setActive(true);
         const bool kept = &o.manager.Services(0) == first;
         std::string errors;
         for (const auto& change : std::vector<std::function<void()>>{
                  [&] { o.manager.setMachineName("elsewhere"); }, [&] { o.manager.setAllowLocking(true); },
                  [&] { o.manager.Services(o.manager.ServiceCount()); }}) {
           try {
             change();
             errors += "none;";
           } catch (const Error& e) {
             errors += std::string(e.what()) + ";";
           }
         }
         o.manager.setActive(false);
         std::printf("ok kept=%d errors=%s inactive=%d count=%d\n", kept ? 1 : 0, errors.c_str(),
                     o.manager.Active() ? 0 : 1, o.manager.ServiceCount());
       }},
      {"stavsluzby", [](const auto& a) { std::printf("ok %s\n", stavsluzby(a.at(0)).c_str()); }},
      {"zastavsluzbu", [](const auto& a) { std::printf("ok [%s]\n", zastavsluzbu(a.at(0)).c_str()); }},
      {"spustsluzbu", [](const auto& a) { std::printf("ok [%s]\n", spustsluzbu(a.at(0)).c_str()); }},
      // The platform face alone, for the refusals the library's own checks would pre-empt.
      {"face-open",
       [](const auto& a) {
         const auto scm = platform::openServiceManager("", platform::scm_access::kConnect);
         scm->openService(a.at(0), access::kQueryStatus);
         std::printf("ok\n");
       }},
      {"face-start",
       [](const auto& a) {
         const auto scm = platform::openServiceManager("", platform::scm_access::kConnect);
         scm->openService(a.at(0), access::kStart)->start();
         std::printf("ok\n");
       }},
      {"face-stop",
       [](const auto& a) {
         const auto scm = platform::openServiceManager("", platform::scm_access::kConnect);
         scm->openService(a.at(0), access::kStop)->control(platform::ServiceControlCode::kStop);
         std::printf("ok\n");
       }},
      {"admin", [](const auto&) { std::printf("ok %d\n", platform::hasAdministratorRights() ? 1 : 0); }},
      // run COMMAND LINE: runAndWait, and how often it called back while waiting.
      {"run",
       [](const auto& a) {
         int calls = 0;
         platform::runAndWait(a.at(0), [&] { ++calls; });
         std::printf("ok waited=%d\n", calls > 0 ? 1 : 0);
       }},
  };
  return table;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || commands().count(argv[1]) == 0) {
    std::fprintf(stderr, "usage: servicemanager_driver COMMAND ARGUMENTS...\n");
    return 2;
  }
  std::vector<std::string> arguments(argv + 2, argv + argc);
  try {
    commands().at(argv[1])(arguments);
    return 0;
  } catch (const OsError& e) {
    std::printf("error %u %s\n", static_cast<unsigned>(e.code()), e.what());
  } catch (const std::exception& e) {
    std::printf("error - %s\n", e.what());
  }
  return 1;
}
