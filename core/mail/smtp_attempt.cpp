// attemptSend: the libcurl settings of one SMTP connection (TLS 1.2 only, AUTH LOGIN, time-outs) and its run.
#include "core/mail/smtp_attempt.h"

#include <array>
#include <memory>
#include <string>

#include "platform/error.h"

namespace dorvik {
namespace {

struct CurlUrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

int traceCallback(CURL*, curl_infotype type, char* data, std::size_t size, void* userp) {
  auto* trace = static_cast<SmtpTrace*>(userp);
  try {
    if (type == CURLINFO_HEADER_IN) trace->serverSent({data, size});
    else if (type == CURLINFO_HEADER_OUT) trace->clientSent({data, size});
  } catch (...) {
    // A trace we cannot keep only costs the detail of the result text.
  }
  return 0;
}

// Watches the replies to the commands after EHLO; libcurl's own reply time-out
// is one value for all replies and is set to the longer one for DATA.
struct ReplyWatch {
  const SmtpTrace* trace;
  std::chrono::milliseconds limit;
  std::string expired;  // why the exchange was cut, once it was
};

int progressCallback(void* userp, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* watch = static_cast<ReplyWatch*>(userp);
  const auto& waiting = watch->trace->waiting();
  // Before EHLO is answered the connect time-out rules. Once DATA is sent no
  // command waits here (the message goes as data), so libcurl's longer reply
  // time-out covers the answer to DATA, the upload and the final reply.
  if (!waiting || !watch->trace->connected() || waiting->command == "DATA") return 0;
  if (std::chrono::steady_clock::now() - waiting->since <= watch->limit) return 0;
  watch->expired = "Timed out: no reply to " + waiting->command + " within " +
                   std::to_string(watch->limit.count()) + " ms";
  return 1;
}

template <typename T>
void set(CURL* easy, CURLoption option, T value) {
  const CURLcode rc = curl_easy_setopt(easy, option, value);
  if (rc != CURLE_OK) throw Error(std::string("libcurl refused a mail setting: ") + curl_easy_strerror(rc));
}

// The server as a URL; false (with the reason in `error`) when the host or port cannot be one.
bool setUrl(CURLU* url, const SmtpEndpoint& endpoint, std::string& error) {
  // A bare IPv6 address needs its brackets in a URL.
  const std::string host = endpoint.host.find(':') != std::string::npos && endpoint.host.front() != '['
                               ? "[" + endpoint.host + "]"
                               : endpoint.host;
  const std::string port = std::to_string(endpoint.port);
  if (curl_url_set(url, CURLUPART_SCHEME, endpoint.implicitTls ? "smtps" : "smtp", 0) != CURLUE_OK) {
    error = "Cannot build the SMTP address";
    return false;
  }
  if (host.empty() || curl_url_set(url, CURLUPART_HOST, host.c_str(), 0) != CURLUE_OK) {
    error = "Invalid SMTP server name '" + endpoint.host + "'";
    return false;
  }
  if (curl_url_set(url, CURLUPART_PORT, port.c_str(), 0) != CURLUE_OK) {
    error = "Invalid SMTP port " + port;
    return false;
  }
  return true;
}

}  // namespace

AttemptOutcome attemptSend(const SmtpEndpoint& endpoint, const Login& login, const OutgoingMail& mail,
                           const MailTimeouts& timeouts) {
  AttemptOutcome outcome;
  CurlUrl url(curl_url());
  if (!url) throw Error("Cannot build the SMTP address: out of memory");
  if (!setUrl(url.get(), endpoint, outcome.error)) {
    outcome.code = CURLE_URL_MALFORMAT;
    return outcome;
  }

  // Declared before the handle: its clean-up (QUIT) may still write an error here and ask the watch.
  std::array<char, CURL_ERROR_SIZE> errorBuffer{};
  ReplyWatch watch{&outcome.trace, timeouts.reply, {}};
  CurlEasy easy = newCurlEasy();
  CURL* h = easy.get();
  set(h, CURLOPT_CURLU, url.get());
  set(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  set(h, CURLOPT_NOSIGNAL, 1L);
  set(h, CURLOPT_PROXY, "");  // no proxy from the environment: the add-on reads no environment variables
  set(h, CURLOPT_ERRORBUFFER, errorBuffer.data());
  set(h, CURLOPT_VERBOSE, 1L);  // the trace goes to traceCallback only
  set(h, CURLOPT_DEBUGFUNCTION, &traceCallback);
  set(h, CURLOPT_DEBUGDATA, &outcome.trace);

  set(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
  set(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(timeouts.dataReply.count()));
  set(h, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.whole.count()));
  set(h, CURLOPT_XFERINFOFUNCTION, &progressCallback);
  set(h, CURLOPT_XFERINFODATA, &watch);
  set(h, CURLOPT_NOPROGRESS, 0L);

  set(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));  // never STARTTLS
  if (endpoint.implicitTls) {
    // Minimum and maximum TLS 1.2; the maximum sits in the upper 16 bits, as
    // CURL_SSLVERSION_MAX_TLSv1_2 would put it (that macro trips -Wconversion).
    const long tls12 = CURL_SSLVERSION_TLSv1_2;
    set(h, CURLOPT_SSLVERSION, tls12 | (tls12 << 16));
    // The mail rules configure no certificate verification.
    set(h, CURLOPT_SSL_VERIFYPEER, 0L);
    set(h, CURLOPT_SSL_VERIFYHOST, 0L);
  }
  if (!login.user.empty()) {
    set(h, CURLOPT_USERNAME, login.user.c_str());
    set(h, CURLOPT_PASSWORD, login.password.c_str());
    // LOGIN only; libcurl skips authentication when the server offers no AUTH at all.
    set(h, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
  }

  set(h, CURLOPT_MAIL_FROM, mail.fromAddress.c_str());
  CurlList recipients;
  for (const auto& r : mail.recipients) appendTo(recipients, r.c_str());
  set(h, CURLOPT_MAIL_RCPT, recipients.get());

  std::string rootContentType;
  CurlMime mime = buildMime(h, mail.content, rootContentType);
  CurlList headers;
  for (const auto& line : mail.headers) appendTo(headers, line.c_str());
  if (!rootContentType.empty()) appendTo(headers, rootContentType.c_str());
  set(h, CURLOPT_HTTPHEADER, headers.get());
  set(h, CURLOPT_MIMEPOST, mime.get());

  outcome.code = curl_easy_perform(h);
  if (outcome.code == CURLE_ABORTED_BY_CALLBACK && !watch.expired.empty()) {
    outcome.code = CURLE_OPERATION_TIMEDOUT;
    outcome.error = watch.expired;
  } else if (!outcome.ok()) {
    outcome.error = errorBuffer[0] ? errorBuffer.data() : curl_easy_strerror(outcome.code);
  }
  // The MIME tree goes first: freeing it unbinds it from the still living handle.
  mime.reset();
  easy.reset();  // QUIT and close now, while the trace is still ours
  return outcome;
}

}  // namespace dorvik
