// SmtpPeer: the peer as a child process with a pipe on its standard input, so it ends with the test.
#include "core/mail/smtp_peer_test_support.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include "tests/common/closed_port.h"

extern char** environ;

namespace dorvik::test {
namespace {

std::string unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

std::string readLine(int fd, int timeoutMs) {
  std::string line;
  char c = 0;
  while (true) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) throw std::runtime_error("SMTP peer did not start in time");
    if (read(fd, &c, 1) != 1) throw std::runtime_error("SMTP peer ended before it was ready");
    if (c == '\n') return line;
    line += c;
  }
}

}  // namespace

SmtpPeer::SmtpPeer(const PeerOptions& options) {
  char tmpl[] = "/tmp/dorvik-smtp-peer-XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make the peer folder");
  folder_ = tmpl;

  std::vector<std::string> args = {DORVIK_PYTHON, DORVIK_SMTP_PEER, "--dir", folder_.string(), "--auth", options.auth};
  if (options.rejectLogin) args.emplace_back("--reject-login");
  if (!options.rejectSender.empty()) args.insert(args.end(), {"--reject-sender", options.rejectSender});
  if (!options.rejectRecipient.empty()) args.insert(args.end(), {"--reject-recipient", options.rejectRecipient});
  if (options.silent) args.emplace_back("--silent");
  if (!options.stallCommand.empty()) args.insert(args.end(), {"--stall-command", options.stallCommand});
  if (options.dataDelay > 0) args.insert(args.end(), {"--data-delay", std::to_string(options.dataDelay)});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const std::string errPath = (folder_ / "peer.stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  stdinFd_ = in[1];
  if (rc != 0) {
    pid_ = -1;
    close(out[0]);
    stop();
    throw std::runtime_error(std::string("cannot start the SMTP peer: ") + std::strerror(rc));
  }
  try {
    const std::string line = readLine(out[0], 20'000);
    if (std::sscanf(line.c_str(), "tls=%d plain=%d", &tlsPort_, &plainPort_) != 2)
      throw std::runtime_error("unexpected first line from the SMTP peer: " + line);
  } catch (...) {
    close(out[0]);
    stop();
    throw;
  }
  close(out[0]);
}

SmtpPeer::~SmtpPeer() { stop(); }

void SmtpPeer::stop() {
  if (stdinFd_ >= 0) close(stdinFd_);
  stdinFd_ = -1;
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  std::error_code ec;
  if (!folder_.empty() && !std::getenv("DORVIK_KEEP_PEER_FILES")) std::filesystem::remove_all(folder_, ec);
  folder_.clear();
}

std::vector<std::string> SmtpPeer::connections() const {
  std::vector<std::string> result;
  std::ifstream in(folder_ / "connections.log");
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

void SmtpPeer::clearConnections() const {
  std::error_code ec;
  std::filesystem::remove(folder_ / "connections.log", ec);
}

int SmtpPeer::messageCount() const {
  int n = 0;
  while (std::filesystem::exists(folder_ / (std::to_string(n + 1) + ".txt"))) ++n;
  return n;
}

StoredMessage SmtpPeer::message(int n) const {
  StoredMessage result;
  std::ifstream in(folder_ / (std::to_string(n) + ".txt"));
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) result[line.substr(0, eq)] = unescape(line.substr(eq + 1));
  }
  return result;
}

int closedPort() { return testing::closedPort(); }

}  // namespace dorvik::test
