// Test support: starts and stops the SMTP test peer and reads the messages it stored.
#pragma once
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace dorvik::test {

struct PeerOptions {
  std::string auth = "login";  // "none", "login" (LOGIN and PLAIN) or "plain" (PLAIN only)
  bool rejectLogin = false;
  std::string rejectSender, rejectRecipient;
  bool silent = false;
  std::string stallCommand;  // "MAIL" or "RCPT": never answered
  double dataDelay = 0;      // seconds before the reply to the end of DATA
};

// The description of one stored message: "key" -> value (see smtp_peer.py).
using StoredMessage = std::map<std::string, std::string>;

// A running peer on 127.0.0.1 with an implicit-TLS and a plain listener.
class SmtpPeer {
 public:
  explicit SmtpPeer(const PeerOptions& options = {});
  ~SmtpPeer();
  SmtpPeer(const SmtpPeer&) = delete;
  SmtpPeer& operator=(const SmtpPeer&) = delete;

  int tlsPort() const { return tlsPort_; }
  int plainPort() const { return plainPort_; }
  const std::filesystem::path& folder() const { return folder_; }

  // Listener names ("tls", "plain") of the connections accepted so far, in order.
  std::vector<std::string> connections() const;
  int messageCount() const;
  // Message n, counted from 1.
  StoredMessage message(int n) const;
  StoredMessage lastMessage() const { return message(messageCount()); }
  // Forgets the connections seen so far (the messages stay and keep counting).
  void clearConnections() const;

 private:
  void stop();

  std::filesystem::path folder_;
  pid_t pid_ = -1;
  int stdinFd_ = -1;
  int tlsPort_ = 0, plainPort_ = 0;
};

// A port on 127.0.0.1 where nothing listens (bound, then released).
int closedPort();

}  // namespace dorvik::test
