// posliemail against the SMTP peer: ports and the plain fallback, login, refusals, a silent server, bad input.
#include <gtest/gtest.h>

#include <chrono>

#include "core/integer_text.h"
#include "core/mail/send_mail.h"
#include "core/mail/sendmailunit.h"
#include "core/mail/smtp_peer_test_support.h"

namespace dorvik {
namespace {

using test::PeerOptions;
using test::SmtpPeer;
using namespace std::chrono_literals;

MailRequest request(std::string port = "465") {
  MailRequest r;
  r.host = "127.0.0.1";
  r.port = std::move(port);
  r.user = "uzivatel";
  r.password = "heslo";
  r.fromName = "Servis";
  r.fromAddress = "servis@dorvik.cz";
  r.recipients = "jan@firma.cz;eva@firma.cz;";
  r.subject = "servis 7";
  r.body = "text";
  return r;
}

// gcc 12 warns about designated initializers that leave string members out.
PeerOptions peerWith(void (*change)(PeerOptions&)) {
  PeerOptions o;
  change(o);
  return o;
}
const PeerOptions kNoAuth = peerWith([](PeerOptions& o) { o.auth = "none"; });
const PeerOptions kPlainAuthOnly = peerWith([](PeerOptions& o) { o.auth = "plain"; });
const PeerOptions kRejectLogin = peerWith([](PeerOptions& o) { o.rejectLogin = true; });
const PeerOptions kRejectSender = peerWith([](PeerOptions& o) { o.rejectSender = "servis@dorvik.cz"; });
const PeerOptions kRejectEva = peerWith([](PeerOptions& o) { o.rejectRecipient = "eva@firma.cz"; });
const PeerOptions kSilent = peerWith([](PeerOptions& o) { o.silent = true; });
const PeerOptions kStallMail = peerWith([](PeerOptions& o) { o.stallCommand = "MAIL"; });
const PeerOptions kSlowDataReply = peerWith([](PeerOptions& o) { o.dataDelay = 1.5; });

MailTimeouts quick() { return {5000ms, 5000ms, 5s, 20000ms}; }

MailTransport to(const SmtpPeer& peer) { return {{peer.plainPort(), peer.tlsPort()}, quick()}; }

const std::string kSeparator = "\r\n--\r\n";

// libcurl words its time-outs in more than one way.
bool mentionsTimeout(const std::string& text) {
  return text.find("timed out") != std::string::npos || text.find("timeout") != std::string::npos;
}

// Where the port mappings lead, shown on the real server: the ports 25 and
// 465 the mappings produce are served by the peer's plain and TLS listeners,
// or 465 by a closed port when the TLS attempt is to fail.
TEST(PosliemailPorts, ImplicitTlsFirstThenPlainFallback) {
  SmtpPeer peer;
  struct Case {
    std::string port;
    bool tlsServed;
    const char* listener;
    std::vector<std::string> connections;
  };
  const std::string plainListenerPort = std::to_string(peer.plainPort());
  const std::string tlsListenerPort = std::to_string(peer.tlsPort());
  const Case cases[] = {
      {"25", true, "tls", {"tls"}},              // 25 -> TLS on 465
      {"587", true, "tls", {"tls"}},             // 587 -> TLS on 465
      {"465", true, "tls", {"tls"}},             // 465 stays 465 for TLS
      {"25", false, "plain", {"plain"}},         // TLS on 465 fails -> plain on 25
      {"587", false, "plain", {"plain"}},        // 587 -> 465 fails -> plain on 25
      {"465", false, "plain", {"plain"}},        // 465 fails -> plain on 25
      {tlsListenerPort, false, "tls", {"tls"}},  // any other port: TLS on it
      // Any other port: TLS on it fails against a plain server, plain on the same port.
      {plainListenerPort, false, "plain", {"plain", "plain"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("port " + c.port + (c.tlsServed ? ", TLS served" : ", TLS port closed"));
    peer.clearConnections();
    const int before = peer.messageCount();
    MailTransport t = to(peer);
    if (!c.tlsServed) t.ports.port465 = test::closedPort();
    EXPECT_EQ(sendMail(request(c.port), t), "");
    ASSERT_EQ(peer.messageCount(), before + 1);
    EXPECT_EQ(peer.lastMessage()["listener"], c.listener);
    EXPECT_EQ(peer.connections(), c.connections);
  }
}

TEST(PosliemailPorts, NothingListeningAnywhereIsReported) {
  MailTransport t{{test::closedPort(), test::closedPort()}, quick()};
  const auto result = sendMail(request("25"), t);
  EXPECT_NE(result.find("Couldn't connect"), std::string::npos) << result;
  EXPECT_NE(result.find(std::to_string(t.ports.port25)), std::string::npos) << "the plain attempt's error: " << result;
}

struct LoginCase {
  const char* what;
  PeerOptions options;
  std::string user, password;
  std::string authUser;  // as the peer recorded it; empty: sent without authentication
};

TEST(PosliemailLogin, AuthLoginOnlyWhenNamedAndOffered) {
  const LoginCase cases[] = {
      {"LOGIN offered, user given", {}, "uzivatel", "heslo", "uzivatel LOGIN"},
      {"blanks around the login are trimmed", {}, "  uzivatel\t", " heslo ", "uzivatel LOGIN"},
      {"no user name", {}, "", "heslo", ""},
      {"no AUTH offered", kNoAuth, "uzivatel", "heslo", ""},
      {"AUTH offered without LOGIN", kPlainAuthOnly, "uzivatel", "heslo", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmtpPeer peer(c.options);
    auto r = request();
    r.user = c.user;
    r.password = c.password;
    EXPECT_EQ(sendMail(r, to(peer)), "");
    ASSERT_EQ(peer.messageCount(), 1);
    EXPECT_EQ(peer.lastMessage()["auth_user"], c.authUser);
    EXPECT_EQ(peer.lastMessage()["listener"], "tls");
  }
}

struct RefusalCase {
  const char* what;
  PeerOptions options;
  const char* failedStep;  // libcurl's name for the refused step
  const char* reply;
  const char* code;
};

TEST(PosliemailRefusals, GiveTheReasonAndTheEnhancedCode) {
  const RefusalCase cases[] = {
      {"login refused", kRejectLogin, "Login denied", "535 5.7.8 Authentication credentials invalid", "5.7.8"},
      {"sender refused", kRejectSender, "MAIL failed", "550 5.1.1 Sender address rejected",
       "5.1.1"},
      {"second recipient refused",
       kRejectEva,
       "RCPT failed",
       "550 5.1.1 Recipient address rejected: user unknown",
       "5.1.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SmtpPeer peer(c.options);
    const auto result = sendMail(request(), to(peer));
    EXPECT_EQ(result.rfind(c.failedStep, 0), 0u) << result;
    EXPECT_NE(result.find(std::string("server reply: ") + c.reply), std::string::npos) << result;
    ASSERT_GT(result.size(), kSeparator.size());
    EXPECT_EQ(result.substr(result.size() - kSeparator.size() - std::string(c.code).size()), kSeparator + c.code);
    EXPECT_EQ(peer.messageCount(), 0);
    EXPECT_EQ(peer.connections(), std::vector<std::string>{"tls"}) << "refused after EHLO: no plain retry";
  }
}

TEST(PosliemailTimeouts, ASilentServerCannotHoldTheCaller) {
  SmtpPeer peer(kSilent);
  MailTransport t = to(peer);
  t.timeouts = {300ms, 300ms, 1s, 2000ms};
  const auto start = std::chrono::steady_clock::now();
  const auto result = sendMail(request("25"), t);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(mentionsTimeout(result)) << result;
  EXPECT_EQ(result.find(kSeparator), std::string::npos) << "no server reply, no enhanced code";
  EXPECT_EQ(peer.connections(), (std::vector<std::string>{"tls", "plain"})) << "both attempts were made";
  // Generous bound, only to show the time-outs took effect (two attempts of 0.3 s).
  EXPECT_LT(elapsed, 10s);
}

TEST(PosliemailTimeouts, AServerFallingSilentAfterEhloIsCutAtTheReplyTimeout) {
  SmtpPeer peer(kStallMail);
  MailTransport t = to(peer);
  t.timeouts = {5000ms, 500ms, 30s, 60000ms};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(sendMail(request(), t), "Timed out: no reply to MAIL within 500 ms");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "the DATA time-out of 30 s did not apply";
  EXPECT_EQ(peer.connections(), std::vector<std::string>{"tls"}) << "connected, so no plain retry";
}

TEST(PosliemailTimeouts, TheReplyAfterDataMayTakeLongerThanOtherReplies) {
  SmtpPeer peer(kSlowDataReply);  // answers the end of DATA after 1.5 s
  MailTransport t = to(peer);
  t.timeouts = {5000ms, 500ms, 5s, 20000ms};
  EXPECT_EQ(sendMail(request(), t), "");
  EXPECT_EQ(peer.messageCount(), 1);

  t.timeouts.dataReply = 1s;
  const auto result = sendMail(request(), t);
  EXPECT_TRUE(mentionsTimeout(result)) << result;
}

TEST(PosliemailBadInput, PortAndHtmlFileErrorsReachTheCallerBeforeAnythingIsSent) {
  SmtpPeer peer;
  for (const char* port : {"", "abc", "25 "}) EXPECT_THROW(sendMail(request(port), to(peer)), ConversionError) << port;
  for (const char* port : {"65536", "-1"}) EXPECT_THROW(sendMail(request(port), to(peer)), RangeError) << port;
  auto r = request();
  r.htmlFile = "/proc/self/mem";  // exists, but reading it from the start fails, even for root
  EXPECT_THROW(sendMail(r, to(peer)), FileError);
  EXPECT_TRUE(peer.connections().empty());

  std::string result = "stale";
  EXPECT_THROW(posliemail("127.0.0.1", "", "", "", "", "a@b.cz", "c@d.cz", "s", "b", "", "", true, result),
               ConversionError);
}

TEST(PosliemailBadInput, BadAddressesAndHostsComeBackAsText) {
  SmtpPeer peer;
  auto r = request();
  r.recipients = "jan@firma.cz\r\nDATA";
  EXPECT_EQ(sendMail(r, to(peer)), "Invalid recipient address 'jan@firma.cz\r\nDATA'");
  r = request();
  r.fromAddress = "servis@dorvik.cz\r\nRSET";
  EXPECT_EQ(sendMail(r, to(peer)), "Invalid sender address 'servis@dorvik.cz\r\nRSET'");
  EXPECT_TRUE(peer.connections().empty());
  r = request();
  r.host = "   ";
  EXPECT_EQ(sendMail(r, to(peer)).rfind("Invalid SMTP server name", 0), 0u);
}

TEST(PosliemailErrorBox, ShowsFailuresOnlyWhenNotSilent) {
  SmtpPeer peer(kRejectSender);
  std::vector<std::pair<std::string, std::string>> shown;
  setMailErrorBox([&](const std::string& text, const std::string& caption) { shown.emplace_back(text, caption); });
  auto r = request();
  r.silent = true;
  const auto silentResult = sendMail(r, to(peer));
  EXPECT_FALSE(silentResult.empty());
  EXPECT_TRUE(shown.empty());

  r.silent = false;
  const auto result = sendMail(r, to(peer));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, result);
  EXPECT_EQ(shown[0].second, "chyba odes\xC3\xADl\xC3\xA1n\xC3\xAD:");

  r.fromAddress = "jiny@dorvik.cz";
  EXPECT_EQ(sendMail(r, to(peer)), "");
  EXPECT_EQ(shown.size(), 1u) << "a successful send shows nothing";
  setMailErrorBox({});
}

}  // namespace
}  // namespace dorvik
