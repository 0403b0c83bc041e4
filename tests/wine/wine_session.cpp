#include "tests/wine/wine_session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace dorvik::wine {

namespace fs = std::filesystem;

std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += "'\\''";
    else out.push_back(c);
  }
  return out + "'";
}

bool eventually(const std::function<bool()>& condition, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return true;
}

std::string whyWineCannotRun(const fs::path& program) {
  if (!fs::exists(program)) return "no Windows build at " + program.string() + " (scripts/cross-build.sh makes it)";
  if (std::system("command -v wine >/dev/null && command -v wineserver >/dev/null") != 0) {
    return "Wine is not installed (scripts/install-windows-deps.sh installs it)";
  }
  return "";
}

WineSession::WineSession(fs::path prefix) : prefix_(std::move(prefix)), inUse_(prefix_.string() + ".in-use") {
  // One test at a time per prefix: ctest runs test programs side by side.
  fs::create_directories(prefix_.parent_path());
  lock_ = ::open((prefix_.string() + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock_ < 0 || ::flock(lock_, LOCK_EX) != 0) throw std::runtime_error("Cannot lock " + prefix_.string() + ".lock");
  ::setenv("WINEPREFIX", prefix_.c_str(), 1);
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no prompts for Mono and Gecko
  ::unsetenv("DISPLAY");
  // A run that ended early may have left services registered, which would
  // start by themselves when the prefix boots: such a prefix is made anew.
  if (fs::exists(inUse_)) {
    run("wineserver -k");
    fs::remove_all(prefix_);
  }
  if (!fs::exists(prefix_ / "system.reg")) {
    // The registry reaches system.reg when the wineserver ends.
    const Outcome boot = run("wineboot --init && wineserver -w");
    if (!fs::exists(prefix_ / "system.reg")) throw std::runtime_error("wineboot --init failed: " + boot.output);
  }
  std::ofstream(inUse_) << "a Wine test runs in this prefix\n";
  const Outcome server = run("wineserver -p");
  if (server.exitCode != 0) throw std::runtime_error("wineserver -p failed: " + server.output);
}

WineSession::~WineSession() {
  // Ends this prefix's wineserver and every Wine process in it, services included.
  run("wineserver -k");
  run("wineserver -w");
  if (cleanEnd_) fs::remove(inUse_);
  ::close(lock_);  // releases the lock
}

Outcome WineSession::run(const std::string& commandLine) const {
  const fs::path out = prefix_.string() + ".output";
  const int status = std::system((commandLine + " >" + quoted(out.string()) + " 2>&1 </dev/null").c_str());
  Outcome o;
  o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(out, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  o.output = text.str();
  return o;
}

std::string WineSession::serviceState(const std::string& name) const {
  const Outcome o = wine("sc query " + name);
  std::smatch m;
  if (o.exitCode != 0 || !std::regex_search(o.output, m, std::regex(R"(STATE\s*:\s*\d+\s+(\w+))"))) return "";
  return m[1];
}

}  // namespace dorvik::wine
