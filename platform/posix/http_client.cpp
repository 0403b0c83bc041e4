// POSIX face of the HTTP client: libcurl.
#include "platform/http_client.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "platform/error.h"

namespace dorvik::platform {
namespace {

struct EasyCleanup {
  void operator()(CURL* c) const noexcept { curl_easy_cleanup(c); }
};
struct ListCleanup {
  void operator()(curl_slist* l) const noexcept { curl_slist_free_all(l); }
};
struct UrlCleanup {
  void operator()(CURLU* u) const noexcept { curl_url_cleanup(u); }
};
struct FileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

// One GET: the body goes to `sink`, which returns false (with `sinkError` set) when it cannot take it.
struct Transfer {
  std::function<bool(const char*, std::size_t)> sink;
  std::string sinkError;
  std::string statusLine;  // of the last answer, e.g. "HTTP/1.1 404 Not Found"
  CURL* curl = nullptr;
  bool statusRejected = false;
};

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  std::string line(data, n);
  if (line.rfind("HTTP/", 0) == 0) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    t->statusLine = line;
  }
  return n;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  long status = 0;
  curl_easy_getinfo(t->curl, CURLINFO_RESPONSE_CODE, &status);
  if (status != 200) {
    // An error page is never stored; the status decides the error.
    t->statusRejected = true;
    return CURL_WRITEFUNC_ERROR;
  }
  if (!t->sink(data, n)) return CURL_WRITEFUNC_ERROR;
  return n;
}

// "host:port" of the URL, the port filled in from the scheme when the URL has none.
std::string hostAndPort(const std::string& url) {
  std::unique_ptr<CURLU, UrlCleanup> u(curl_url());
  char* host = nullptr;
  char* port = nullptr;
  std::string result = url;
  if (u && curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(u.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(u.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
    result = std::string(host) + ":" + port;
  }
  curl_free(host);
  curl_free(port);
  return result;
}

// "404 Not Found" from "HTTP/1.1 404 Not Found"; the bare code when the line is missing.
std::string statusText(const std::string& statusLine, long status) {
  const std::size_t space = statusLine.find(' ');
  if (space == std::string::npos) return std::to_string(status);
  return statusLine.substr(space + 1);
}

void get(const std::string& url, const std::vector<HttpHeader>& headers, Transfer& t) {
  // Thread-safe since C++11 statics; curl_global_init itself is not re-entrant.
  static const CURLcode curlReady = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (curlReady != CURLE_OK) throw Error(std::string("libcurl set-up failed: ") + curl_easy_strerror(curlReady));
  std::unique_ptr<CURL, EasyCleanup> curl(curl_easy_init());
  if (!curl) throw Error("libcurl set-up failed: no transfer handle");
  t.curl = curl.get();
  std::unique_ptr<curl_slist, ListCleanup> list;
  for (const HttpHeader& h : headers) {
    const std::string line = h.name + ": " + h.value;
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown) throw Error("Out of memory building the request headers");
    (void)list.release();
    list.reset(grown);
  }
  char errorText[CURL_ERROR_SIZE] = "";
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_PROXY, "");  // no proxy, not even from the environment
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, list.get());
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);

  const CURLcode rc = curl_easy_perform(c);
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (rc == CURLE_OK && status == 200) return;
  // An answer arrived but not a 200 (error page cut off or not, or no body at all).
  if (status != 0 && status != 200 && (rc == CURLE_OK || t.statusRejected || rc == CURLE_PARTIAL_FILE)) {
    throw Error("HTTP " + statusText(t.statusLine, status) + ": " + url);
  }
  if (rc == CURLE_WRITE_ERROR && !t.sinkError.empty()) throw FileError(t.sinkError);
  if (rc == CURLE_PARTIAL_FILE) {
    curl_off_t received = 0, announced = -1;
    curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &received);
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    std::string detail = "the connection closed after " + std::to_string(received) + " bytes";
    if (announced >= 0) detail += " of " + std::to_string(announced);
    throw Error("Incomplete answer from " + url + ": " + detail);
  }
  const std::string reason = errorText[0] != '\0' ? errorText : curl_easy_strerror(rc);
  curl_off_t connectTime = 0;
  curl_easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connectTime);
  if (rc == CURLE_COULDNT_CONNECT || rc == CURLE_COULDNT_RESOLVE_HOST ||
      (rc == CURLE_OPERATION_TIMEDOUT && connectTime == 0)) {
    long osError = 0;
    curl_easy_getinfo(c, CURLINFO_OS_ERRNO, &osError);
    const std::string why =
        rc == CURLE_COULDNT_CONNECT && osError != 0 ? std::strerror(static_cast<int>(osError)) : reason;
    throw Error("Cannot connect to " + hostAndPort(url) + ": " + why);
  }
  throw Error("Cannot download " + url + ": " + reason);
}

}  // namespace

std::string httpGet(const std::string& url, const std::vector<HttpHeader>& headers) {
  std::string body;
  Transfer t;
  t.sink = [&body](const char* data, std::size_t n) {
    body.append(data, n);
    return true;
  };
  get(url, headers, t);
  return body;
}

void httpDownload(const std::string& url, const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw FileError("Cannot create " + path + ": " + std::strerror(errno));
  Transfer t;
  t.sink = [&](const char* data, std::size_t n) {
    if (std::fwrite(data, 1, n, file.get()) == n) return true;
    t.sinkError = "Cannot write " + path + ": " + std::strerror(errno);
    return false;
  };
  get(url, {}, t);
  if (std::fclose(file.release()) != 0) throw FileError("Cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace dorvik::platform
