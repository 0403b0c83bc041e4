// posliemail's work with its transport settings open: the ports and time-outs tests point at a local peer.
#pragma once
#include <string>

#include "core/mail/smtp_attempt.h"
#include "core/mail/smtp_ports.h"

namespace dorvik {

// posliemail's first twelve parameters.
struct MailRequest {
  std::string host, port, user, password;
  std::string fromName, fromAddress, recipients;
  std::string subject, body, htmlFile, attachment;
  bool silent = true;
};

// Fixed in the programs; tests replace them.
struct MailTransport {
  PortTargets ports;
  MailTimeouts timeouts;
};

// The caption of the error box of a non-silent failure.
inline constexpr const char* kMailErrorCaption = "chyba odesílání:";

// Does what posliemail does and returns its result text.
std::string sendMail(const MailRequest& request, const MailTransport& transport);

}  // namespace dorvik
