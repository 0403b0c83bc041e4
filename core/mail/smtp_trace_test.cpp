// SmtpTrace: EHLO keywords, reply assembly across chunks and the enhanced status code.
#include <gtest/gtest.h>

#include "core/mail/smtp_trace.h"

namespace dorvik {
namespace {

TEST(EnhancedStatusCode, ReadsOnlyAWellFormedCodeOfTheReplysClass) {
  const std::tuple<int, const char*, const char*> cases[] = {
      {550, "5.1.1 Recipient address rejected", "5.1.1"},
      {535, "5.7.8 Authentication credentials invalid", "5.7.8"},
      {250, "2.0.0 OK", "2.0.0"},
      {451, "4.3.0 Try later", "4.3.0"},
      {550, "5.1.1", "5.1.1"},
      {550, "5.100.999 x", "5.100.999"},
      {550, "Mailbox unavailable", ""},
      {550, "4.1.1 class differs", ""},
      {550, "5.1234.1 too long", ""},
      {550, "5.1.1x", ""},
      {550, "5.1", ""},
      {550, "", ""},
  };
  for (const auto& [code, text, expected] : cases) EXPECT_EQ(enhancedStatusCode(code, text), expected) << text;
}

TEST(SmtpTrace, ReadsTheEhloAnswerSplitAcrossChunks) {
  SmtpTrace t;
  t.serverSent("220 peer ESMTP\r\n");
  EXPECT_FALSE(t.connected());
  t.clientSent("EHLO me\r\n");
  t.serverSent("250-peer\r\n250-SIZE 1000\r\n250-AU");
  t.serverSent("TH PLAIN login\r\n");
  EXPECT_FALSE(t.connected()) << "the answer is not complete yet";
  t.serverSent("250 HELP\r\n");
  EXPECT_TRUE(t.connected());
  EXPECT_TRUE(t.authOffered());
  EXPECT_TRUE(t.loginOffered());
  EXPECT_FALSE(t.authSent());
  t.clientSent("AUTH LOGIN\r\n");
  EXPECT_TRUE(t.authSent());
}

TEST(SmtpTrace, TellsAuthWithoutLoginAndTheOldEqualsForm) {
  SmtpTrace plainOnly;
  plainOnly.clientSent("EHLO me\r\n");
  plainOnly.serverSent("250-peer\r\n250-AUTH PLAIN CRAM-MD5\r\n250 8BITMIME\r\n");
  EXPECT_TRUE(plainOnly.authOffered());
  EXPECT_FALSE(plainOnly.loginOffered());

  SmtpTrace equals;
  equals.clientSent("EHLO me\r\n");
  equals.serverSent("250-peer\r\n250-AUTH=LOGIN\r\n250 OK\r\n");
  EXPECT_TRUE(equals.loginOffered());

  SmtpTrace none;
  none.clientSent("EHLO me\r\n");
  none.serverSent("250-peer AUTH LOGIN\r\n250 OK\r\n");  // the server's name line is no keyword
  EXPECT_TRUE(none.connected());
  EXPECT_FALSE(none.authOffered());
}

TEST(SmtpTrace, KeepsTheLastReplyOnlyWhileItIsARefusal) {
  SmtpTrace t;
  t.clientSent("RCPT TO:<x@y.cz>\r\n");
  t.serverSent("550-5.1.1 first line\r\n550 5.1.1 Recipient address rejected\r\n");
  ASSERT_TRUE(t.lastRefusal());
  EXPECT_EQ(t.lastRefusal()->code, 550);
  EXPECT_EQ(t.lastRefusal()->enhancedCode, "5.1.1");
  EXPECT_EQ(t.lastRefusal()->text, "5.1.1 Recipient address rejected");
  t.clientSent("QUIT\r\n");
  t.serverSent("221 Bye\r\n");
  EXPECT_TRUE(t.lastRefusal()) << "the reply to QUIT at clean-up does not hide the refusal";
  t.clientSent("RSET\r\n");
  t.serverSent("250 OK\r\n");
  EXPECT_FALSE(t.lastRefusal());
}

}  // namespace
}  // namespace dorvik
