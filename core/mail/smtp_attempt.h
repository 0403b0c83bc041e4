// One SMTP connection and transfer through libcurl, with its outcome and protocol trace.
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "core/mail/mime_message.h"
#include "core/mail/smtp_trace.h"

namespace dorvik {

// Without these a silent server would hold the runner, and with it the
// service's whole schedule, for ever.
struct MailTimeouts {
  std::chrono::milliseconds connect{30'000};  // TCP, TLS, greeting, EHLO and AUTH together
  std::chrono::milliseconds reply{30'000};    // each reply to AUTH, MAIL and RCPT
  // The reply after DATA may take a server's content checks: longer, though
  // short of the 10 minutes RFC 5321 suggests, as the service waits on us.
  std::chrono::seconds dataReply{120};
  std::chrono::milliseconds whole{600'000};  // the whole exchange, bounding a slow upload
};

// What goes out: envelope, header lines and the MIME content.
struct OutgoingMail {
  std::string fromAddress;
  std::vector<std::string> recipients;
  std::vector<std::string> headers;  // complete "Name: value" lines
  MailContent content;
};

struct SmtpEndpoint {
  std::string host;
  int port = 25;
  bool implicitTls = false;  // TLS 1.2 from the first byte; otherwise plain, never STARTTLS
};

struct Login {
  std::string user;  // empty: no authentication
  std::string password;
};

struct AttemptOutcome {
  CURLcode code = CURLE_OK;
  std::string error;  // libcurl's description of the failure
  SmtpTrace trace;
  bool ok() const { return code == CURLE_OK; }
};

// Connects, authenticates with AUTH LOGIN when a user is given and the server
// offers AUTH, sends and quits. Throws Error only when the transfer cannot be
// set up at all (out of memory, libcurl unusable).
AttemptOutcome attemptSend(const SmtpEndpoint& endpoint, const Login& login, const OutgoingMail& mail,
                           const MailTimeouts& timeouts);

}  // namespace dorvik
