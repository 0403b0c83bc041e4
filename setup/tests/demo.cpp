// dorvik_demo: starts a stand-in with the demo data, writes a demo setup folder and runs the setup tool in it.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "platform/file_version.h"
#include "setup/soubory_programu.h"
#include "setup/tests/demo_data.h"
#include "tests/support/file_version_stamp.h"
#include "tests/support/http_peer.h"

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

    const fs::path built = program.parent_path();
    fs::copy_file(built / "uloha", folder / "uloha", fs::copy_options::overwrite_existing);
    fs::copy_file(built / "dvsc" / "dvsc", folder / "dvsc" / "dvsc", fs::copy_options::overwrite_existing);

    // An update server on loopback that publishes the installed versions and a newer runner.
    dorvik::testing::HttpPeer updates;
    const std::string installed = dorvik::platform::fileVersionText(tool.string());
    auto newer = dorvik::platform::readFileVersion((built / "uloha").string()).value_or(dorvik::platform::FileVersion{});
    ++newer.build;
    updates.publishFile("data/vorlak8/uloha.exe", (built / "uloha").string());
    dorvik::testing::stampFileVersion(updates.root() + "data/vorlak8/uloha.exe", newer);
    updates.publishFile("data/vorlak8/dvsc.exe", (built / "dvsc" / "dvsc").string());
    updates.publishFile("data/vorlak8/dorvika.exe", program.string());
    updates.publish("data/vorlak8/dv.php", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<verze><verzedv>" + installed +
                                               "</verzedv><verzedvsc>" + installed + "</verzedvsc><verzeuloha>" +
                                               dorvik::platform::versionText(newer) +
                                               "</verzeuloha><popis>Úloha " + dorvik::platform::versionText(newer) +
                                               ": ukázková aktualizace.</popis></verze>\n");

    dorvik::test::StandinServer server;
    dorvik::setup::test::naplndemo(server);
    dorvik::IniDocument ini;
    dorvik::zapisnastaveni(ini, dorvik::setup::test::demonastaveni(server));
    ini.writeString("setup", dorvik::setup::kKlicAktualizace, updates.baseUrl());
    dorvik::saveSettingsFile(ini, (folder / std::string(dorvik::kSettingsFileName)).string());
    std::printf("stand-in on %s (login %s / %s, database vorlak); update server %s; setup tool in %s\n",
                server.serverPort().c_str(), server.options().login.c_str(), server.options().password.c_str(),
                updates.baseUrl().c_str(), folder.c_str());
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
