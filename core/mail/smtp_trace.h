// What the SMTP exchange showed, read from the library's protocol trace: the EHLO answer and the last reply.
#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvik {

// One complete server reply.
struct SmtpReply {
  int code = 0;
  std::string enhancedCode;  // RFC 3463 "class.subject.detail", empty when the reply carries none
  std::string text;          // the last line without the reply code
};

// The enhanced status code at the start of a reply line's text when its class
// matches the reply code's first digit; empty otherwise.
std::string enhancedStatusCode(int code, std::string_view text);

// Fed with the lines the library traces as sent and received. Remembers only
// command verbs, never their arguments, so no credentials are kept.
class SmtpTrace {
 public:
  void clientSent(std::string_view data);
  void serverSent(std::string_view data);

  // The greeting and EHLO (or HELO) were answered: the connection is made.
  bool connected() const { return connected_; }
  // The EHLO answer listed AUTH, and with it LOGIN.
  bool authOffered() const { return authOffered_; }
  bool loginOffered() const { return loginOffered_; }
  // An AUTH command went out.
  bool authSent() const { return authSent_; }
  // The last complete reply, when it refused something (4xx or 5xx).
  std::optional<SmtpReply> lastRefusal() const;

  // A command sent and not yet answered: its verb, or for a line that has none
  // (the login lines after AUTH) the verb of the last command.
  struct Waiting {
    std::string command;
    std::chrono::steady_clock::time_point since;
  };
  const std::optional<Waiting>& waiting() const { return waiting_; }

 private:
  void lineReceived(std::string_view line);
  void ehloLine(std::string_view text);

  std::string pendingIn_, pendingOut_;
  std::string lastVerb_;
  std::vector<std::string> replyLines_;  // texts of the reply being read
  std::optional<SmtpReply> lastReply_;
  std::string commandVerb_;  // the last known verb sent, kept across lines without one
  std::optional<Waiting> waiting_;
  bool connected_ = false, authOffered_ = false, loginOffered_ = false, authSent_ = false;
};

}  // namespace dorvik
