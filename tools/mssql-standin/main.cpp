// mssql-standin: a small TDS 7.4 server that keeps each database in a SQLite file, for tests and demos.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "catalog.h"
#include "server.h"
#include "sql_datetime.h"
#include "sql_error.h"

#include <sqlite3.h>

namespace {

void usage() {
  std::fputs(
      "usage: mssql-standin [--listen HOST:PORT] [--data DIR] [--login NAME:PASSWORD]...\n"
      "                     [--database NAME]... [--server-name NAME] [--clock 'YYYY-MM-DD HH:MM:SS']\n"
      "  --listen       address to accept connections on (default 127.0.0.1:1433; port 0 picks a free one)\n"
      "  --data         folder of the database files (default ./mssql-data)\n"
      "  --login        an accepted login; without any, every login is accepted\n"
      "  --database     a database created at start if missing\n"
      "  --server-name  what @@servername returns (default STANDIN)\n"
      "  --clock        start of the server's clock, which then runs on\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  std::string listen = "127.0.0.1:1433", data = "mssql-data";
  standin::ServerSettings settings;
  settings.identity.serverName = "STANDIN";
  std::vector<std::string> databases;
  std::optional<double> clock;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "mssql-standin: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--listen") {
      listen = value();
    } else if (a == "--data") {
      data = value();
    } else if (a == "--login") {
      const std::string v = value();
      const auto colon = v.find(':');
      if (colon == std::string::npos || colon == 0) {
        std::fprintf(stderr, "mssql-standin: --login needs NAME:PASSWORD, got '%s'\n", v.c_str());
        return 2;
      }
      settings.logins.emplace_back(v.substr(0, colon), v.substr(colon + 1));
    } else if (a == "--database") {
      databases.push_back(value());
    } else if (a == "--server-name") {
      settings.identity.serverName = value();
    } else if (a == "--clock") {
      const std::string v = value();
      clock = standin::parseDateTime(v);
      if (!clock) {
        std::fprintf(stderr, "mssql-standin: --clock needs 'YYYY-MM-DD HH:MM:SS', got '%s'\n", v.c_str());
        return 2;
      }
    } else if (a == "--help" || a == "-h") {
      usage();
      return 0;
    } else {
      std::fprintf(stderr, "mssql-standin: unknown argument '%s'\n", a.c_str());
      usage();
      return 2;
    }
  }
  const auto colon = listen.rfind(':');
  if (colon == std::string::npos) {
    std::fprintf(stderr, "mssql-standin: --listen needs HOST:PORT, got '%s'\n", listen.c_str());
    return 2;
  }
  std::string host = listen.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  int port = -1;
  try {
    port = std::stoi(listen.substr(colon + 1));
  } catch (const std::exception&) {
  }
  if (port < 0 || port > 65535) {
    std::fprintf(stderr, "mssql-standin: bad port in '%s'\n", listen.c_str());
    return 2;
  }
  settings.identity.version = std::string("mssql-standin 0.1 (TDS 7.4 server on SQLite ") + sqlite3_libversion() +
                              ")\n\tdorvik development server";
  standin::ServerClock::start(clock);

  // SIGTERM and SIGINT are taken by one thread that stops the server.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  try {
    standin::Catalog catalog(data);
    for (const std::string& d : databases) {
      if (!catalog.find(d)) catalog.create(d);
    }
    standin::Server server(host, static_cast<std::uint16_t>(port), catalog, settings);
    std::thread signals([&] {
      int sig = 0;
      sigwait(&stopSignals, &sig);
      server.stop();
    });
    std::printf("listening on %s:%u\n", host.c_str(), static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    server.run();
    // The signal thread is waiting only if run() ended without a signal.
    pthread_kill(signals.native_handle(), SIGTERM);
    signals.join();
  } catch (const standin::SqlError& e) {
    std::fprintf(stderr, "mssql-standin: %s\n", e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mssql-standin: %s\n", e.what());
    return 1;
  }
  return 0;
}
