// Test support: the HTTP test peer (tests/peers/http/http_peer.py) on a free port of 127.0.0.1,
// serving a temporary folder; stopped and its folder removed when the object goes.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace dorvik::testing {

class HttpPeer {
 public:
  // Starts the peer and waits until it accepts connections; throws std::runtime_error when it cannot.
  HttpPeer();
  ~HttpPeer();
  HttpPeer(const HttpPeer&) = delete;
  HttpPeer& operator=(const HttpPeer&) = delete;

  // The served folder, with a trailing "/": the file <root>/a/b is served at <baseUrl>/a/b.
  const std::string& root() const { return root_; }
  // "http://127.0.0.1:PORT", without a trailing "/".
  std::string baseUrl() const;
  int port() const { return port_; }

  // Writes <root>/<relativePath> (folders created as needed); returns its URL.
  std::string publish(const std::string& relativePath, const std::string& bytes) const;
  // Copies a file to <root>/<relativePath>; returns its URL.
  std::string publishFile(const std::string& relativePath, const std::string& sourcePath) const;
  // From now on the path is answered with this status and a small error page.
  void answerWithStatus(const std::string& relativePath, int status) const;
  // From now on the path's answer announces the whole length but ends after half of the body.
  void truncate(const std::string& relativePath) const;
  // From now on the path redirects (302) to `targetPath` on this peer.
  void redirect(const std::string& relativePath, const std::string& targetPath) const;
  // Restores the plain answer of the path.
  void answerNormally(const std::string& relativePath) const;

  // The heads of the requests received so far (request line and headers, "\r\n" line ends), in order.
  std::vector<std::string> requests() const;

 private:
  void stop();

  std::string folder_;  // holds root/ and the request log
  std::string root_;
  pid_t pid_ = -1;
  int stdinFd_ = -1;
  int port_ = 0;
};

}  // namespace dorvik::testing
