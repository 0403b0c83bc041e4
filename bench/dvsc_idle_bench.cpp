// Benchmark: the scheduler service's cost per idle poll (no task due) beside a bare connect-and-select loop.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "core/agent_tables.h"
#include "core/db/connection.h"
#include "core/db/statement.h"
#include "core/testcon.h"
#include "tests/common/setup_folder.h"
#include "tests/support/standin_server.h"

namespace {

// CPU seconds (user + system) and peak resident set in kB of a running process.
struct Usage {
  double cpuSeconds = 0;
  long peakKb = 0;
};

Usage usageOf(pid_t pid) {
  Usage u;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream rest(all.substr(all.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 13; ++i) rest >> field;  // fields 3..13
  long utime = 0, stime = 0;
  rest >> utime >> stime;
  u.cpuSeconds = static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) u.peakKb = std::stol(line.substr(6));
  }
  return u;
}

}  // namespace

int main(int argc, char** argv) {
  const int polls = argc > 1 ? std::stoi(argv[1]) : 30;
  dorvik::test::StandinServer::Options options;
  options.clock = "2026-12-11 08:00:05";
  dorvik::test::StandinServer server(options);
  {
    dorvik::db::Connection con;
    con.open(server.connectionString("vorlak"), 10);
    dorvik::aktualizujdb(con);
  }

  // The service with a 1 s interval and nothing due.
  dorvik::testing::SetupFolder setup;
  setup.addProgram("uloha");
  setup.addProgram("dvsc/dvsc");
  dorvik::Nastaveni n;
  n.serverportle = server.serverPort();
  n.databazecb = "vorlak";
  n.heslole = "Heslo1";
  n.dvscse = 1;
  setup.writeSettings(n);
  auto dvsc = setup.start("dvsc/dvsc", {}, "dvsc.out");
  // The process to measure is the newest dvsc; find it through /proc by its path.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  pid_t pid = -1;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream cmd(entry.path() / "cmdline");
    std::string line;
    std::getline(cmd, line, '\0');
    if (line == setup.path() + "dvsc/dvsc") pid = std::stoi(entry.path().filename().string());
  }
  if (pid < 0) {
    std::fprintf(stderr, "dvsc did not start\n");
    return 1;
  }
  const Usage before = usageOf(pid);
  std::this_thread::sleep_for(std::chrono::seconds(polls) + std::chrono::milliseconds(500));
  const Usage after = usageOf(pid);
  dvsc->stop();

  // The bare loop: connect and run the same select, as often.
  rusage start{}, end{};
  getrusage(RUSAGE_SELF, &start);
  for (int i = 0; i < polls; ++i) {
    dorvik::db::Connection con;
    con.open(dorvik::pripojovaciretezec(dorvik::rozeberspojeni(server.serverPort(), "vorlak", "sa", "Heslo1", false)), 10);
    dorvik::db::Statement q(con);
    q.execute("select id from ulohy where aktivni=1 and datepart(minute,cas)=datepart(minute,GETDATE()) and platnostdo>getdate()");
    while (q.next()) {
    }
  }
  getrusage(RUSAGE_SELF, &end);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  const double bareCpu = seconds(end.ru_utime) - seconds(start.ru_utime) + seconds(end.ru_stime) - seconds(start.ru_stime);

  std::printf("idle polls: %d at 1 s\n", polls);
  std::printf("dvsc        : %.2f ms CPU per poll, peak RSS %.1f MB\n",
              1000.0 * (after.cpuSeconds - before.cpuSeconds) / polls, static_cast<double>(after.peakKb) / 1024.0);
  std::printf("bare loop   : %.2f ms CPU per connect+select, peak RSS of the benchmark %.1f MB\n",
              1000.0 * bareCpu / polls, static_cast<double>(end.ru_maxrss) / 1024.0);
  return 0;
}
