// Listening, accepting and the connection threads.
#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace standin {
namespace {

constexpr std::size_t kMaxConnections = 256;

}  // namespace

Server::Server(const std::string& host, std::uint16_t port, Catalog& catalog, ServerSettings settings)
    : catalog_(catalog), settings_(std::move(settings)) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0)
    throw std::runtime_error("cannot resolve " + host + ": " + gai_strerror(rc));
  std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, freeaddrinfo);
  std::string why = "no address";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 64) == 0) {
      listenFd_ = fd;
      break;
    }
    why = std::strerror(errno);
    ::close(fd);
  }
  if (listenFd_ < 0) throw std::runtime_error("cannot listen on " + host + ":" + service + ": " + why);
  sockaddr_storage bound{};
  socklen_t len = sizeof bound;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
  port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    ::close(listenFd_);
    throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
}

Server::~Server() {
  stop();
  reapFinished(true);
  if (listenFd_ >= 0) ::close(listenFd_);
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void Server::stop() {
  const char c = 1;
  [[maybe_unused]] const auto n = ::write(wakeWrite_, &c, 1);
}

void Server::reapFinished(bool all) {
  std::list<std::unique_ptr<Connection>> done;
  {
    std::lock_guard lock(mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
      if (all || (*it)->finished) {
        // Wakes a thread blocked in recv; its session then ends.
        if (all) ::shutdown((*it)->fd, SHUT_RDWR);
        done.push_back(std::move(*it));
        it = connections_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& c : done) {
    if (c->thread.joinable()) c->thread.join();
    ::close(c->fd);
  }
}

void Server::run() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int rc = ::poll(fds, 2, 1000);
    if (rc < 0 && errno != EINTR) break;
    if (fds[1].revents != 0) break;
    reapFinished(false);
    if (rc <= 0 || (fds[0].revents & POLLIN) == 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    {
      std::lock_guard lock(mutex_);
      if (connections_.size() >= kMaxConnections) {
        ::close(fd);
        continue;
      }
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // A client has this long to log in; the session lifts the limit afterwards.
    const timeval loginTime{30, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &loginTime, sizeof loginTime);
    auto conn = std::make_unique<Connection>();
    conn->fd = fd;
    Connection* raw = conn.get();
    const int spid = nextSpid_++;
    if (nextSpid_ > 32000) nextSpid_ = 51;
    {
      std::lock_guard lock(mutex_);
      connections_.push_back(std::move(conn));
      raw->thread = std::thread([this, raw, spid] {
        serveConnection(raw->fd, catalog_, settings_, spid);
        // The client learns at once that the session is over; the descriptor is closed when the thread is reaped.
        ::shutdown(raw->fd, SHUT_RDWR);
        raw->finished = true;
      });
    }
  }
  reapFinished(true);
}

}  // namespace standin
