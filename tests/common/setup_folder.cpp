// SetupFolder: staging, settings and runs through posix_spawn.
#include "tests/common/setup_folder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

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

RunResult SetupFolder::run(const std::string& relativePath, const std::vector<std::string>& args) const {
  std::vector<std::string> argv{folder_ / relativePath};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> argp;
  for (auto& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  // The regional format is pinned: C.UTF-8 gives the Czech defaults.
  std::vector<std::string> env{"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  const std::string outPath = folder_ / ".run-out.txt", errPath = folder_ / ".run-err.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  RunResult r;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  r.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  r.out = readFile(".run-out.txt");
  r.err = readFile(".run-err.txt");
  return r;
}

}  // namespace dorvik::testing
