// HttpPeer: the peer as a child process with a pipe on its standard input, so it ends with the test.
#include "tests/support/http_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace dorvik::testing {
namespace {

namespace fs = std::filesystem;

std::string readLine(int fd, int timeoutMs) {
  std::string line;
  char c = 0;
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) throw std::runtime_error("the HTTP peer did not start in time");
    if (::read(fd, &c, 1) != 1) throw std::runtime_error("the HTTP peer ended before it was ready");
    if (c == '\n') return line;
    line += c;
  }
}

void writeBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

HttpPeer::HttpPeer() {
  std::string pattern = (fs::temp_directory_path() / "dorvik-http-peer-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make the HTTP peer's folder");
  folder_ = pattern + "/";
  root_ = folder_ + "root/";
  fs::create_directories(root_);

  std::vector<std::string> args = {DORVIK_PYTHON, DORVIK_HTTP_PEER, "--root", root_, "--port", "0",
                                   "--log", folder_ + "requests.log"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    throw std::runtime_error("pipe failed");
  }
  const std::string errPath = folder_ + "peer.stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  stdinFd_ = in[1];
  if (rc != 0) {
    pid_ = -1;
    ::close(out[0]);
    stop();
    throw std::runtime_error(std::string("cannot start the HTTP peer: ") + std::strerror(rc));
  }
  try {
    const std::string line = readLine(out[0], 20'000);
    if (std::sscanf(line.c_str(), "port=%d", &port_) != 1) {
      throw std::runtime_error("unexpected first line from the HTTP peer: " + line);
    }
  } catch (const std::exception& e) {
    ::close(out[0]);
    std::ifstream err(errPath);
    std::ostringstream text;
    text << err.rdbuf();
    stop();
    throw std::runtime_error(e.what() + std::string("\n") + text.str());
  }
  ::close(out[0]);
}

HttpPeer::~HttpPeer() { stop(); }

void HttpPeer::stop() {
  if (stdinFd_ >= 0) ::close(stdinFd_);
  stdinFd_ = -1;
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  std::error_code ignored;
  if (!folder_.empty()) fs::remove_all(folder_, ignored);
  folder_.clear();
}

std::string HttpPeer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string HttpPeer::publish(const std::string& relativePath, const std::string& bytes) const {
  writeBytes(root_ + relativePath, bytes);
  return baseUrl() + "/" + relativePath;
}

std::string HttpPeer::publishFile(const std::string& relativePath, const std::string& sourcePath) const {
  fs::create_directories(fs::path(root_ + relativePath).parent_path());
  fs::copy_file(sourcePath, root_ + relativePath, fs::copy_options::overwrite_existing);
  return baseUrl() + "/" + relativePath;
}

void HttpPeer::answerWithStatus(const std::string& relativePath, int status) const {
  writeBytes(root_ + relativePath + ".status", std::to_string(status));
}

void HttpPeer::truncate(const std::string& relativePath) const { writeBytes(root_ + relativePath + ".truncate", "1"); }

void HttpPeer::redirect(const std::string& relativePath, const std::string& targetPath) const {
  writeBytes(root_ + relativePath + ".redirect", targetPath);
}

void HttpPeer::answerNormally(const std::string& relativePath) const {
  std::error_code ignored;
  for (const char* sidecar : {".status", ".truncate", ".redirect"}) fs::remove(root_ + relativePath + sidecar, ignored);
}

std::vector<std::string> HttpPeer::requests() const {
  std::ifstream in(folder_ + "requests.log", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  std::vector<std::string> heads;
  for (std::size_t start = 0; start < all.size();) {
    const std::size_t end = all.find("\r\n\r\n", start);
    if (end == std::string::npos) break;
    heads.push_back(all.substr(start, end + 4 - start));
    start = end + 4;
  }
  return heads;
}

}  // namespace dorvik::testing
