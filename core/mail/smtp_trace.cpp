// SmtpTrace: reply assembly, the EHLO keywords and the enhanced status code.
#include "core/mail/smtp_trace.h"

#include <cctype>

namespace dorvik {
namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Takes 1 to 3 digits from the front of `s`; false when there are none or more.
bool digits(std::string_view& s) {
  std::size_t n = 0;
  while (n < s.size() && isDigit(s[n])) ++n;
  if (n == 0 || n > 3) return false;
  s.remove_prefix(n);
  return true;
}

// Splits complete CR LF (or LF) lines off `pending` after appending `data`.
template <typename F>
void forEachLine(std::string& pending, std::string_view data, F&& f) {
  pending.append(data);
  std::size_t start = 0;
  for (auto nl = pending.find('\n', start); nl != std::string::npos; nl = pending.find('\n', start)) {
    std::string_view line(pending.data() + start, nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    f(line);
    start = nl + 1;
  }
  pending.erase(0, start);
}

}  // namespace

std::string enhancedStatusCode(int code, std::string_view text) {
  std::string_view s = text;
  if (s.size() < 5 || s[0] != static_cast<char>('0' + code / 100) || (s[0] != '2' && s[0] != '4' && s[0] != '5'))
    return {};
  s.remove_prefix(1);
  if (s.front() != '.') return {};
  s.remove_prefix(1);
  if (!digits(s) || s.empty() || s.front() != '.') return {};
  s.remove_prefix(1);
  if (!digits(s)) return {};
  if (!s.empty() && s.front() != ' ') return {};
  return std::string(text.substr(0, text.size() - s.size()));
}

void SmtpTrace::clientSent(std::string_view data) {
  forEachLine(pendingOut_, data, [this](std::string_view line) {
    // AUTH LOGIN continuation lines are bare base64 credentials: only known verbs are kept.
    static constexpr std::string_view kVerbs[] = {"EHLO", "HELO", "AUTH", "MAIL", "RCPT", "DATA", "QUIT", "RSET"};
    const auto verb = upper(line.substr(0, line.find(' ')));
    lastVerb_.clear();
    for (const auto known : kVerbs)
      if (verb == known) lastVerb_ = verb;
    if (lastVerb_ == "AUTH") authSent_ = true;
    if (!lastVerb_.empty()) commandVerb_ = lastVerb_;
    waiting_ = Waiting{commandVerb_, std::chrono::steady_clock::now()};
  });
}

void SmtpTrace::serverSent(std::string_view data) {
  forEachLine(pendingIn_, data, [this](std::string_view line) { lineReceived(line); });
}

void SmtpTrace::lineReceived(std::string_view line) {
  if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])) return;
  const int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
  const bool more = line.size() > 3 && line[3] == '-';
  const std::string_view text = line.size() > 4 ? line.substr(4) : std::string_view{};
  const bool ehlo = lastVerb_ == "EHLO" && code == 250;
  // The first line of an EHLO answer is the server's name, not a keyword.
  if (ehlo && !replyLines_.empty()) ehloLine(text);
  replyLines_.emplace_back(text);
  if (more) return;
  waiting_.reset();

  // The QUIT at clean-up would otherwise hide the refusal that ended the exchange.
  if (lastVerb_ == "QUIT") {
    replyLines_.clear();
    return;
  }
  SmtpReply reply;
  reply.code = code;
  reply.enhancedCode = enhancedStatusCode(code, text);
  reply.text = std::string(text);
  lastReply_ = std::move(reply);
  replyLines_.clear();
  if ((lastVerb_ == "EHLO" || lastVerb_ == "HELO") && code == 250) connected_ = true;
}

void SmtpTrace::ehloLine(std::string_view text) {
  const auto keyword = upper(text.substr(0, text.find_first_of(" =")));
  if (keyword != "AUTH") return;
  authOffered_ = true;
  std::string_view rest = text.size() > 4 ? text.substr(5) : std::string_view{};
  while (!rest.empty()) {
    const auto end = rest.find(' ');
    if (upper(rest.substr(0, end)) == "LOGIN") loginOffered_ = true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

std::optional<SmtpReply> SmtpTrace::lastRefusal() const {
  if (lastReply_ && lastReply_->code >= 400) return lastReply_;
  return std::nullopt;
}

}  // namespace dorvik
