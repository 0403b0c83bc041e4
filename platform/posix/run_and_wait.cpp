// POSIX face of runAndWait(): posix_spawn without a shell and waitpid in 10 ms steps.
#include "platform/run_and_wait.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/os_error.h"
#include "platform/posix/command_words.h"

extern char** environ;

namespace dorvik::platform {

void runAndWait(const std::string& commandLine, const std::function<void()>& whileWaiting) {
  std::vector<std::string> words = commandWords(trimmedCommandLine(commandLine));
  if (words.empty() || words.front().empty()) {
    throw OsError(ENOENT, "Cannot run the command \"" + commandLine + "\": it names no program");
  }
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  // The child starts with no signal blocked, whatever the caller blocks.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const std::string& program = words.front();
  // Like Windows, a bare name is looked up on the search path.
  const int rc = program.find('/') == std::string::npos
                     ? posix_spawnp(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ)
                     : posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    throw OsError(static_cast<std::uint32_t>(rc), "Cannot run " + program + ": " + systemMessage(static_cast<std::uint32_t>(rc)));
  }
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (whileWaiting) whileWaiting();
  }
}

}  // namespace dorvik::platform
