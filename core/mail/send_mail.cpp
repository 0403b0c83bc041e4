// sendMail: implicit TLS first, the silent plain fallback, and the result text of a failure.
#include "core/mail/send_mail.h"

#include <chrono>
#include <exception>

#include "core/mail/header_encoding.h"
#include "core/mail/mail_error_box.h"
#include "core/mail/mail_files.h"
#include "core/mail/mail_text.h"
#include "core/mail/recipient_list.h"

namespace dorvik {
namespace {

// The failure as the caller sees it: libcurl's text, the server's refusal, and
// its enhanced status code after CR LF "--" CR LF.
std::string failureText(const AttemptOutcome& outcome) {
  std::string text = outcome.error;
  if (const auto reply = outcome.trace.lastRefusal()) {
    text += "; server reply: " + std::to_string(reply->code) + " " + reply->text;
    if (!reply->enhancedCode.empty()) text += "\r\n--\r\n" + reply->enhancedCode;
  }
  return text;
}

// One transport. The server may offer AUTH without LOGIN; libcurl, told to use
// LOGIN only, then refuses to go on, while the mail rules say to send without
// authentication: so that case is tried once more without a login.
AttemptOutcome sendOver(const SmtpEndpoint& endpoint, const Login& login, const OutgoingMail& mail,
                        const MailTimeouts& timeouts) {
  AttemptOutcome outcome = attemptSend(endpoint, login, mail, timeouts);
  const auto& t = outcome.trace;
  if (!outcome.ok() && !login.user.empty() && t.connected() && t.authOffered() && !t.loginOffered() &&
      !t.authSent())
    return attemptSend(endpoint, Login{}, mail, timeouts);
  return outcome;
}

std::string deliver(const MailRequest& request, int port, const MailContent& content, const MailTransport& transport) {
  OutgoingMail mail;
  mail.recipients = parseRecipients(request.recipients);
  if (mail.recipients.empty()) return "No recipient address in '" + request.recipients + "'";
  for (const auto& r : mail.recipients)
    if (hasControlCharacter(r)) return "Invalid recipient address '" + r + "'";
  if (hasControlCharacter(request.fromAddress)) return "Invalid sender address '" + request.fromAddress + "'";
  mail.fromAddress = request.fromAddress;
  mail.headers = {
      "Date: " + headerDate(std::chrono::system_clock::now()),
      "From: " + mailbox(request.fromName, request.fromAddress),
      "To: " + addressList(mail.recipients),
      "Subject: " + headerText(request.subject),
  };
  mail.content = content;

  const Login login{std::string(trimmed(request.user)), std::string(trimmed(request.password))};
  const std::string host(trimmed(request.host));
  const int tlsPort = implicitTlsPort(port);
  AttemptOutcome outcome =
      sendOver(SmtpEndpoint{host, transport.ports.actual(tlsPort), true}, login, mail, transport.timeouts);
  // A connection that never got as far as EHLO is dropped without a word, and
  // the mail goes out in plain text: the rules accept that to reach old servers.
  if (!outcome.ok() && !outcome.trace.connected())
    outcome = sendOver(SmtpEndpoint{host, transport.ports.actual(plainPort(tlsPort)), false}, login, mail,
                       transport.timeouts);
  return outcome.ok() ? std::string() : failureText(outcome);
}

}  // namespace

std::string sendMail(const MailRequest& request, const MailTransport& transport) {
  // Checked before anything goes out; these errors reach the caller.
  const int port = smtpPort(request.port);
  MailContent content;
  content.plainText = request.body;
  if (const auto html = existingFile(request.htmlFile))
    content.htmlText = readHtmlFile(*html);
  else
    content.htmlText = "<html><body>" + request.body + "</body></html>";
  content.attachment = existingFile(request.attachment);

  std::string result;
  try {
    result = deliver(request, port, content, transport);
  } catch (const std::exception& e) {
    result = e.what();
  }
  if (!result.empty() && !request.silent) showMailError(result, kMailErrorCaption);
  return result;
}

}  // namespace dorvik
