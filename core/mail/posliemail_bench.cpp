// Benchmark, not a test: 200 mails with posliemail against 200 runs of the curl tool, to the peer's plain listener.
#include <spawn.h>
#include <sys/wait.h>

#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/mail/send_mail.h"
#include "core/mail/smtp_peer_test_support.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMessages = 200;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool runCurl(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Upload {
  const std::string* bytes;
  std::size_t offset = 0;
};

std::size_t readUpload(char* buffer, std::size_t size, std::size_t count, void* userp) {
  auto* u = static_cast<Upload*>(userp);
  const std::size_t n = std::min(size * count, u->bytes->size() - u->offset);
  std::memcpy(buffer, u->bytes->data() + u->offset, n);
  u->offset += n;
  return n;
}

// The floor: the same bytes through libcurl in this process, a new handle (and connection) each.
bool sendWithLibcurl(const std::string& url, const std::string& bytes) {
  CURL* h = curl_easy_init();
  curl_slist* rcpt = curl_slist_append(nullptr, "jan@firma.cz");
  Upload upload{&bytes};
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_MAIL_FROM, "servis@dorvik.cz");
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt);
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_READFUNCTION, &readUpload);
  curl_easy_setopt(h, CURLOPT_READDATA, &upload);
  const CURLcode rc = curl_easy_perform(h);
  curl_easy_cleanup(h);
  curl_slist_free_all(rcpt);
  return rc == CURLE_OK;
}

}  // namespace

int main() {
  using namespace dorvik;
  test::SmtpPeer peer;
  MailRequest r;
  r.host = "127.0.0.1";
  r.user = "";  // the plain listener: no login, as curl below
  r.fromName = "Servis Dorvik";
  r.fromAddress = "servis@dorvik.cz";
  r.recipients = "jan@firma.cz;";
  r.subject = "servis 42";
  r.body = "Zak\xC3\xA1zka 42 je hotov\xC3\xA1.\r\nPl\xC3\xA1novan\xC3\xBD term\xC3\xADn: 11.12.2026";

  // Port 25 as configured in the field: the TLS attempt on 465 is refused (nothing
  // listens there), then the plain connection to 25, which is the peer's plain listener.
  MailTransport transport{{peer.plainPort(), test::closedPort()}, {}};
  r.port = "25";
  const auto start = Clock::now();
  for (int i = 0; i < kMessages; ++i)
    if (!sendMail(r, transport).empty()) return std::fprintf(stderr, "posliemail failed\n"), 1;
  const double viaPosliemail = seconds(Clock::now() - start);

  // The same message, as posliemail built it, sent by curl one connection per run.
  const std::string eml = (peer.folder() / "1.eml").string();
  const std::string url = "smtp://127.0.0.1:" + std::to_string(peer.plainPort());
  const auto curlStart = Clock::now();
  for (int i = 0; i < kMessages; ++i)
    if (!runCurl({"curl", "-sS", url, "--mail-from", "servis@dorvik.cz", "--mail-rcpt", "jan@firma.cz", "-T", eml}))
      return std::fprintf(stderr, "curl failed\n"), 1;
  const double viaCurl = seconds(Clock::now() - curlStart);

  std::ifstream in(eml, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  const std::string bytes = content.str();
  const auto libStart = Clock::now();
  for (int i = 0; i < kMessages; ++i)
    if (!sendWithLibcurl(url, bytes)) return std::fprintf(stderr, "libcurl failed\n"), 1;
  const double viaLibcurl = seconds(Clock::now() - libStart);

  // The usual path in the field, for scale: implicit TLS 1.2 on 465, against the curl tool doing the same.
  r.port = "465";
  transport.ports.port465 = peer.tlsPort();
  const auto tlsStart = Clock::now();
  for (int i = 0; i < kMessages; ++i)
    if (!sendMail(r, transport).empty()) return std::fprintf(stderr, "posliemail over TLS failed\n"), 1;
  const double viaPosliemailTls = seconds(Clock::now() - tlsStart);
  const std::string tlsUrl = "smtps://127.0.0.1:" + std::to_string(peer.tlsPort());
  const auto curlTlsStart = Clock::now();
  for (int i = 0; i < kMessages; ++i)
    if (!runCurl({"curl", "-sS", "-k", "--tlsv1.2", "--tls-max", "1.2", tlsUrl, "--mail-from", "servis@dorvik.cz",
                  "--mail-rcpt", "jan@firma.cz", "-T", eml}))
      return std::fprintf(stderr, "curl over TLS failed\n"), 1;
  const double viaCurlTls = seconds(Clock::now() - curlTlsStart);

  if (peer.messageCount() != 5 * kMessages) return std::fprintf(stderr, "messages lost\n"), 1;
  std::printf("%d messages to the plain listener\n", kMessages);
  std::printf("posliemail: %.3f s (%.2f ms each)\n", viaPosliemail, 1000 * viaPosliemail / kMessages);
  std::printf("curl tool:  %.3f s (%.2f ms each)\n", viaCurl, 1000 * viaCurl / kMessages);
  std::printf("libcurl:    %.3f s (%.2f ms each), same bytes in process, plain only\n", viaLibcurl,
              1000 * viaLibcurl / kMessages);
  std::printf("ratio posliemail / curl tool: %.2f\n", viaPosliemail / viaCurl);
  std::printf("ratio posliemail / libcurl:   %.2f\n", viaPosliemail / viaLibcurl);
  std::printf("%d messages to the TLS listener (port 465)\n", kMessages);
  std::printf("posliemail: %.3f s (%.2f ms each)\n", viaPosliemailTls, 1000 * viaPosliemailTls / kMessages);
  std::printf("curl tool:  %.3f s (%.2f ms each)\n", viaCurlTls, 1000 * viaCurlTls / kMessages);
  std::printf("ratio posliemail / curl tool: %.2f\n", viaPosliemailTls / viaCurlTls);
  return 0;
}
