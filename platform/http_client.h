// HTTP(S) GET into memory or into a file. Success means exactly one thing: the function returned.
// A status other than 200 (after following redirects), a failed connection or a body shorter than
// its Content-Length throws dorvik::Error, so an error page or a cut-off file never counts as a download.
//
// Connections: 30 s to connect; a transfer slower than 1 byte/s for 60 s is abandoned. No proxy is
// taken from the environment or the system settings: the update server is reached directly (and the
// tests' server on 127.0.0.1 must never be sent through a proxy).
#pragma once
#include <string>
#include <vector>

namespace dorvik::platform {

struct HttpHeader {
  std::string name, value;
};

// GET into memory. Messages say what failed: "Cannot connect to 127.0.0.1:8080: Connection refused",
// "HTTP 404 Not Found: <url>", "Incomplete answer from <url>: ...".
std::string httpGet(const std::string& url, const std::vector<HttpHeader>& headers = {});

// GET into the file at `path` (created or truncated). Same failures; on failure the file's content is
// unspecified and the caller removes it.
void httpDownload(const std::string& url, const std::string& path);

}  // namespace dorvik::platform
