// dorvik_demo: starts a stand-in with the demo data, writes a demo setup folder and runs the setup tool in it.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "setup/tests/demo_data.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dorvik_demo <built dorvik program> <demo folder>\n");
    return 2;
  }
  namespace fs = std::filesystem;
  try {
    const fs::path program = argv[1];
    const fs::path folder = fs::absolute(argv[2]);
    fs::create_directories(folder / "dvsc");
    // The tool finds its files beside its executable, so it runs from a copy inside the demo folder.
    const fs::path tool = folder / program.filename();
    fs::copy_file(program, tool, fs::copy_options::overwrite_existing);

    dorvik::test::StandinServer server;
    dorvik::setup::test::naplndemo(server);
    dorvik::IniDocument ini;
    dorvik::zapisnastaveni(ini, dorvik::setup::test::demonastaveni(server));
    dorvik::saveSettingsFile(ini, (folder / std::string(dorvik::kSettingsFileName)).string());
    std::printf("stand-in on %s (login %s / %s, database vorlak); setup tool in %s\n", server.serverPort().c_str(),
                server.options().login.c_str(), server.options().password.c_str(), folder.c_str());
    std::fflush(stdout);

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot start the setup tool");
    if (pid == 0) {
      execl(tool.c_str(), tool.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    // The stand-in stops and its data folder goes when `server` leaves scope.
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dorvik_demo: %s\n", e.what());
    return 1;
  }
}
