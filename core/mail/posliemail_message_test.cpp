// posliemail against the SMTP peer: the message as a MIME parser reads it (parts, charsets, encodings, headers).
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <fstream>
#include <memory>

#include "core/mail/send_mail.h"
#include "core/mail/sendmailunit.h"
#include "core/mail/smtp_peer_test_support.h"

namespace dorvik {
namespace {

using test::SmtpPeer;
using test::StoredMessage;

std::string sha256Hex(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < size; ++i) {
    out += kHex[digest[i] >> 4];
    out += kHex[digest[i] & 15];
  }
  return out;
}

const std::string kCzech = "P\xC5\x99\xC3\xADli\xC5\xA1 \xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88";

// One peer for all message tests: they differ in content, not in server behaviour.
class PosliemailMessage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { peer_ = std::make_unique<SmtpPeer>(); }
  static void TearDownTestSuite() { peer_.reset(); }

  static MailRequest request() {
    MailRequest r;
    r.host = "127.0.0.1";
    r.port = "465";
    r.user = "uzivatel";
    r.password = "heslo";
    r.fromName = "Servis Dorvik";
    r.fromAddress = "servis@dorvik.cz";
    r.recipients = "jan@firma.cz;";
    r.subject = "servis 42";
    r.body = "Zak\xC3\xA1zka 42 je hotov\xC3\xA1.";
    return r;
  }

  static MailTransport transport() {
    return MailTransport{{peer_->plainPort(), peer_->tlsPort()},
                         {std::chrono::milliseconds(5000), std::chrono::milliseconds(5000), std::chrono::seconds(5),
                          std::chrono::milliseconds(20000)}};
  }

  // Sends and returns the message the peer stored.
  static StoredMessage sent(const MailRequest& r) {
    const int before = peer_->messageCount();
    EXPECT_EQ(sendMail(r, transport()), "");
    EXPECT_EQ(peer_->messageCount(), before + 1);
    return peer_->lastMessage();
  }

  static std::unique_ptr<SmtpPeer> peer_;
};

std::unique_ptr<SmtpPeer> PosliemailMessage::peer_;

TEST_F(PosliemailMessage, IsAlternativePlainAndHtmlInQuotedPrintableUtf8) {
  auto r = request();
  r.subject = kCzech;
  r.fromName = "Ji\xC5\x99\xC3\xAD Nov\xC3\xA1k";
  auto m = sent(r);
  EXPECT_EQ(m["listener"], "tls");
  EXPECT_EQ(m["tls_version"], "TLSv1.2");
  EXPECT_EQ(m["auth_user"], "uzivatel LOGIN");
  EXPECT_EQ(m["mail_from"], "servis@dorvik.cz");
  EXPECT_EQ(m["rcpt_count"], "1");
  EXPECT_EQ(m["rcpt.0"], "jan@firma.cz");
  EXPECT_EQ(m["defects"], "0");
  EXPECT_EQ(m["header.mime-version"], "1.0");
  EXPECT_FALSE(m["header.date"].empty());
  EXPECT_EQ(m["header.subject"], kCzech);
  EXPECT_EQ(m["from.display_name"], "Ji\xC5\x99\xC3\xAD Nov\xC3\xA1k");
  EXPECT_EQ(m["from.addr_spec"], "servis@dorvik.cz");
  EXPECT_EQ(m["header.to"], "jan@firma.cz");
  EXPECT_NE(m["raw_headers"].find("Subject: =?UTF-8?B?"), std::string::npos);

  EXPECT_EQ(m["part_count"], "3");
  EXPECT_EQ(m["part.0.content_type"], "multipart/alternative");
  EXPECT_EQ(m["part.1.content_type"], "text/plain");
  EXPECT_EQ(m["part.1.charset"], "utf-8");
  EXPECT_EQ(m["part.1.cte"], "quoted-printable");
  EXPECT_EQ(m["part.1.text"], r.body);
  EXPECT_EQ(m["part.2.content_type"], "text/html");
  EXPECT_EQ(m["part.2.charset"], "utf-8");
  EXPECT_EQ(m["part.2.cte"], "quoted-printable");
  EXPECT_EQ(m["part.2.text"], "<html><body>" + r.body + "</body></html>");
}

TEST_F(PosliemailMessage, BodiesArriveIntact) {
  const std::pair<const char*, std::string> cases[] = {
      {"CR LF lines", "first line\r\nsecond line\r\n"},
      {"lone LF", "first\nsecond"},
      {"lone CR", "first\rsecond"},
      {"dot lines", ".\r\n..\r\n.starts with a dot\r\nend"},
      {"long line", std::string(3000, 'x') + " " + std::string(1200, 'y')},
      {"Czech", kCzech + "\r\n" + kCzech},
      {"markup is not escaped", "<b>1 < 2 & 3</b>\r\n="},
      {"trailing blanks", "line with blanks   \r\nnext\t"},
      {"empty", ""},
  };
  for (const auto& [what, body] : cases) {
    auto r = request();
    r.body = body;
    auto m = sent(r);
    EXPECT_EQ(m["part.1.text"], body) << what;
    EXPECT_EQ(m["part.2.text"], "<html><body>" + body + "</body></html>") << what;
    EXPECT_EQ(m["defects"], "0") << what;
  }
}

TEST_F(PosliemailMessage, HeadersCannotBeInjectedAndLongSubjectsSurvive) {
  auto r = request();
  r.subject = "servis 1\r\nBcc: spy@evil.cz";
  auto m = sent(r);
  EXPECT_EQ(m["raw_headers"].find("\r\nBcc:"), std::string::npos);
  EXPECT_EQ(m["rcpt_count"], "1");
  EXPECT_EQ(m["header.subject"], r.subject) << "carried inside an encoded-word";

  std::string longSubject;
  for (int i = 0; i < 30; ++i) longSubject += kCzech + " ";
  r.subject = longSubject;
  m = sent(r);
  EXPECT_EQ(m["header.subject"], longSubject);
  EXPECT_EQ(m["defects"], "0");
}

TEST_F(PosliemailMessage, RecipientListWithStraySeparatorsGivesOneRcptEach) {
  auto r = request();
  r.recipients = " jan@firma.cz ;; eva@firma.cz,petr@firma.cz;";
  auto m = sent(r);
  EXPECT_EQ(m["rcpt_count"], "3");
  EXPECT_EQ(m["rcpt.0"], "jan@firma.cz");
  EXPECT_EQ(m["rcpt.1"], "eva@firma.cz");
  EXPECT_EQ(m["rcpt.2"], "petr@firma.cz");
  EXPECT_EQ(m["header.to"], "jan@firma.cz, eva@firma.cz, petr@firma.cz");
}

TEST_F(PosliemailMessage, AnEmptyRecipientListSendsNothingAndSaysSo) {
  const int before = peer_->messageCount();
  peer_->clearConnections();
  auto r = request();
  for (const char* list : {"", ";", " ; , ;"}) {
    r.recipients = list;
    EXPECT_EQ(sendMail(r, transport()), "No recipient address in '" + std::string(list) + "'");
  }
  EXPECT_EQ(peer_->messageCount(), before);
  EXPECT_TRUE(peer_->connections().empty());
}

class TempFile {
 public:
  TempFile(const std::string& name, const std::string& content) : path_(std::filesystem::temp_directory_path() / name) {
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

TEST_F(PosliemailMessage, AnAttachmentMakesItMixed) {
  const std::string content = "obsah p\xC5\x99\xC3\xADlohy\r\n\x01\x02\xFF";
  TempFile file("dorvik-priloha.bin", content);
  auto r = request();
  r.attachment = file.path();
  auto m = sent(r);
  EXPECT_EQ(m["part_count"], "5");
  EXPECT_EQ(m["part.0.content_type"], "multipart/mixed");
  EXPECT_EQ(m["part.1.content_type"], "multipart/alternative");
  EXPECT_EQ(m["part.2.content_type"], "text/plain");
  EXPECT_EQ(m["part.2.cte"], "quoted-printable");
  EXPECT_EQ(m["part.3.content_type"], "text/html");
  EXPECT_EQ(m["part.3.cte"], "quoted-printable");
  EXPECT_EQ(m["part.4.filename"], "dorvik-priloha.bin");
  EXPECT_EQ(m["part.4.cte"], "base64");
  EXPECT_EQ(m["part.4.sha256"], sha256Hex(content)) << "the peer hashes the decoded attachment";
  EXPECT_EQ(m["defects"], "0");

  r.attachment = file.path() + ".missing";
  m = sent(r);
  EXPECT_EQ(m["part.0.content_type"], "multipart/alternative") << "a missing attachment is ignored";
}

TEST_F(PosliemailMessage, HtmlFileGivesTheHtmlPartOnlyWhenItExists) {
  TempFile file("dorvik-sablona.html", "\xEF\xBB\xBF<html><p>" + kCzech + "</p></html>");
  auto r = request();
  r.htmlFile = file.path();
  auto m = sent(r);
  EXPECT_EQ(m["part.1.text"], r.body);
  EXPECT_EQ(m["part.2.text"], "<html><p>" + kCzech + "</p></html>");

  // The runner used to pass its message text here too; any text that names no
  // file (or cannot be a name at all) gives the HTML wrapping of the body.
  for (const std::string& notAFile : {r.body, std::string("/etc\0/passwd", 12), std::string(5000, 'a'),
                                      std::filesystem::temp_directory_path().string()}) {
    r.htmlFile = notAFile;
    m = sent(r);
    EXPECT_EQ(m["part.2.text"], "<html><body>" + r.body + "</body></html>") << notAFile.size();
  }
}

}  // namespace
}  // namespace dorvik
