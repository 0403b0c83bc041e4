// The TCP listener: accepts connections and serves each on its own thread until stopped.
#pragma once
#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "catalog.h"
#include "session.h"

namespace standin {

class Server {
 public:
  // Binds and listens; throws std::runtime_error naming the address and the reason.
  Server(const std::string& host, std::uint16_t port, Catalog& catalog, ServerSettings settings);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  std::uint16_t port() const { return port_; }
  // Serves until stop() is called, then closes every connection and waits for its thread.
  void run();
  // Safe to call from any thread.
  void stop();

 private:
  struct Connection {
    int fd = -1;
    std::thread thread;
    std::atomic<bool> finished{false};
  };
  void reapFinished(bool all);

  Catalog& catalog_;
  ServerSettings settings_;
  int listenFd_ = -1;
  int wakeRead_ = -1, wakeWrite_ = -1;
  std::uint16_t port_ = 0;
  std::mutex mutex_;
  std::list<std::unique_ptr<Connection>> connections_;
  int nextSpid_ = 51;
};

}  // namespace standin
