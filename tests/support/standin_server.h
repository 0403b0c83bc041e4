// Test support: starts the SQL Server stand-in (mssql-standin) on a free loopback port and runs T-SQL scripts on it.
#pragma once
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dorvik::test {

// A running mssql-standin child process with a fresh, temporary data folder.
//
//   StandinServer server;                       // login sa / Heslo1, database "vorlak"
//   runScript(server, "vorlak", "create table t(id int)\ngo\ninsert into t values (1)");
//   db.open(server.connectionString("vorlak"), 5);
//
// The destructor stops the server (SIGTERM, then waits) and deletes the data folder.
// The server also gets SIGTERM when the thread that started it ends (so a crashed
// test leaves none behind): create it on a thread that outlives its use.
class StandinServer {
 public:
  struct Options {
    std::string login = "sa";
    std::string password = "Heslo1";
    std::vector<std::string> databases = {"vorlak"};  // created at start; master always exists
    std::string serverName = "STANDIN";               // what @@servername returns
    std::optional<std::string> clock;                 // 'YYYY-MM-DD HH:MM:SS': getdate() starts there
  };

  StandinServer();
  // Throws std::runtime_error if the program cannot start or does not report its port within 10 seconds.
  explicit StandinServer(Options options);
  ~StandinServer();
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  const std::string& host() const { return host_; }  // "127.0.0.1"
  int port() const { return port_; }
  // "127.0.0.1,<port>": the form of the settings' server text.
  std::string serverPort() const;
  // An ODBC connection string for FreeTDS; login and password default to the server's own.
  std::string connectionString(const std::string& database) const;
  std::string connectionString(const std::string& database, const std::string& login, const std::string& password) const;
  const std::filesystem::path& dataFolder() const { return dataFolder_; }
  const Options& options() const { return options_; }

 private:
  Options options_;
  std::filesystem::path dataFolder_;
  std::string host_ = "127.0.0.1";
  int port_ = 0;
  pid_t pid_ = -1;
};

// Runs a T-SQL script through ODBC, batch by batch; a line holding only "go"
// (any case) ends a batch. Throws std::runtime_error with the server's message
// when a batch fails.
void runScript(const StandinServer& server, const std::string& database, const std::string& script);

// Path of the built mssql-standin program.
std::string standinProgram();

}  // namespace dorvik::test
