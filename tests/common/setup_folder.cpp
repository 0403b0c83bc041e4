// SetupFolder: staging, settings and runs through posix_spawn.
#include "tests/common/setup_folder.h"

#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

#include <filesystem>
#include <fstream>

#include "core/ini_document.h"
#include "core/settings_file.h"
#include "platform/file_append.h"

namespace dorvik::testing {

namespace fs = std::filesystem;

SetupFolder::SetupFolder() = default;

void SetupFolder::addProgram(const std::string& relativePath) const {
  fs::create_directories(fs::path(folder_ / relativePath).parent_path());
  fs::copy_file(std::string(DORVIK_STAGED_SETUP_DIR) + "/" + relativePath, folder_ / relativePath,
                fs::copy_options::overwrite_existing);
}

void SetupFolder::writeSettings(const Nastaveni& values) const {
  IniDocument doc;
  zapisnastaveni(doc, values);
  saveSettingsFile(doc, folder_ / "dorvik");
}

void SetupFolder::writeFile(const std::string& relativePath, const std::string& bytes) const {
  std::ofstream(folder_ / relativePath, std::ios::binary | std::ios::trunc) << bytes;
}

std::string SetupFolder::readFile(const std::string& relativePath) const {
  const std::string path = folder_ / relativePath;
  return platform::fileExists(path) ? platform::readWholeFile(path) : std::string();
}

namespace {

pid_t spawn(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath) {
  std::vector<std::string> argv = args;
  std::vector<char*> argp;
  for (auto& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  // The regional format is pinned: C.UTF-8 gives the Czech defaults.
  std::vector<std::string> env{"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int waitExit(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

BackgroundProcess::BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                                     const std::string& outputPath) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_ = spawn(argv, outputPath, outputPath + ".err");
  if (pid_ < 0) throw std::runtime_error("cannot start " + program);
}

int BackgroundProcess::stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    exitCode_ = waitExit(pid_);
    pid_ = -1;
  }
  return exitCode_;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::unique_ptr<BackgroundProcess> SetupFolder::start(const std::string& relativePath,
                                                      const std::vector<std::string>& args,
                                                      const std::string& outputFile) const {
  return std::make_unique<BackgroundProcess>(folder_ / relativePath, args, folder_ / outputFile);
}

RunResult SetupFolder::run(const std::string& relativePath, const std::vector<std::string>& args) const {
  std::vector<std::string> argv{folder_ / relativePath};
  argv.insert(argv.end(), args.begin(), args.end());
  RunResult r;
  const auto startTime = std::chrono::steady_clock::now();
  const pid_t pid = spawn(argv, folder_ / ".run-out.txt", folder_ / ".run-err.txt");
  if (pid > 0) r.exitCode = waitExit(pid);
  r.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - startTime);
  r.out = readFile(".run-out.txt");
  r.err = readFile(".run-err.txt");
  return r;
}

}  // namespace dorvik::testing
