// Starting and stopping mssql-standin for tests, and running scripts on it through ODBC.
#include "tests/support/standin_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace dorvik::test {
namespace {

std::filesystem::path makeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "standin-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error(std::string("mkdtemp failed: ") + std::strerror(errno));
  return pattern;
}

// Owns the ODBC handles of one script run.
struct OdbcHandles {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  bool connected = false;
  ~OdbcHandles() {
    if (stmt != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    if (connected) SQLDisconnect(dbc);
    if (dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    if (env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
};

std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::string out;
  SQLCHAR state[6], text[1024];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  for (SQLSMALLINT i = 1; SQLGetDiagRec(type, handle, i, state, &native, text, sizeof text, &length) == SQL_SUCCESS; ++i) {
    out += (out.empty() ? "" : "; ") + std::string(reinterpret_cast<char*>(text)) + " (" + std::to_string(native) + ")";
  }
  return out;
}

std::vector<std::string> splitBatches(const std::string& script) {
  std::vector<std::string> batches;
  std::istringstream in(script);
  std::string line, current;
  while (std::getline(in, line)) {
    std::string t = line;
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.pop_back();
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.erase(0, 1);
    if (t.size() == 2 && std::tolower(static_cast<unsigned char>(t[0])) == 'g' && std::tolower(static_cast<unsigned char>(t[1])) == 'o') {
      if (current.find_first_not_of(" \t\r\n") != std::string::npos) batches.push_back(current);
      current.clear();
    } else {
      current += line + "\n";
    }
  }
  if (current.find_first_not_of(" \t\r\n") != std::string::npos) batches.push_back(current);
  return batches;
}

}  // namespace

std::string standinProgram() { return DORVIK_STANDIN_PATH; }

StandinServer::StandinServer() : StandinServer(Options{}) {}

StandinServer::StandinServer(Options options) : options_(std::move(options)), dataFolder_(makeTempFolder()) {
  std::vector<std::string> args{standinProgram(), "--listen", host_ + ":0", "--data", dataFolder_.string(),
                                "--login", options_.login + ":" + options_.password, "--server-name", options_.serverName};
  for (const std::string& d : options_.databases) args.insert(args.end(), {"--database", d});
  if (options_.clock) args.insert(args.end(), {"--clock", *options_.clock});
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error(std::string("pipe failed: ") + std::strerror(errno));
  pid_ = ::fork();
  if (pid_ < 0) {
    ::close(out[0]);
    ::close(out[1]);
    throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
  }
  if (pid_ == 0) {
    // A test that dies must not leave its server behind.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::dup2(out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  ::close(out[1]);
  // The first line is "listening on HOST:PORT".
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    pollfd p{out[0], POLLIN, 0};
    char buf[256];
    ssize_t n = 0;
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0 || (n = ::read(out[0], buf, sizeof buf)) <= 0) break;
    line.append(buf, static_cast<std::size_t>(n));
  }
  ::close(out[0]);
  const auto colon = line.rfind(':');
  if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    std::filesystem::remove_all(dataFolder_);
    throw std::runtime_error("mssql-standin did not start (" + standinProgram() + "): '" + line + "'");
  }
  port_ = std::atoi(line.c_str() + colon + 1);
}

StandinServer::~StandinServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  std::error_code ec;
  std::filesystem::remove_all(dataFolder_, ec);
}

std::string StandinServer::serverPort() const { return host_ + "," + std::to_string(port_); }

std::string StandinServer::connectionString(const std::string& database) const {
  return connectionString(database, options_.login, options_.password);
}

std::string StandinServer::connectionString(const std::string& database, const std::string& login, const std::string& password) const {
  return "DRIVER={FreeTDS};SERVER=" + host_ + ";PORT=" + std::to_string(port_) + ";DATABASE=" + database + ";UID=" + login +
         ";PWD=" + password + ";TDS_Version=7.4;ClientCharset=UTF-8";
}

void runScript(const StandinServer& server, const std::string& database, const std::string& script) {
  OdbcHandles h;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h.env))) throw std::runtime_error("cannot allocate an ODBC environment");
  SQLSetEnvAttr(h.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, h.env, &h.dbc);
  std::string cs = server.connectionString(database);
  if (!SQL_SUCCEEDED(SQLDriverConnect(h.dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
    throw std::runtime_error("connecting to the stand-in failed: " + diagnostics(SQL_HANDLE_DBC, h.dbc));
  h.connected = true;
  SQLAllocHandle(SQL_HANDLE_STMT, h.dbc, &h.stmt);
  for (std::string batch : splitBatches(script)) {
    SQLRETURN rc = SQLExecDirect(h.stmt, reinterpret_cast<SQLCHAR*>(batch.data()), static_cast<SQLINTEGER>(batch.size()));
    while (rc != SQL_NO_DATA) {
      if (!SQL_SUCCEEDED(rc)) throw std::runtime_error("script batch failed: " + diagnostics(SQL_HANDLE_STMT, h.stmt) + "\n" + batch);
      rc = SQLMoreResults(h.stmt);
    }
    SQLFreeStmt(h.stmt, SQL_CLOSE);
  }
}

}  // namespace dorvik::test
