// Owning handles for libcurl objects, and the one-time library set-up.
#pragma once
#include <curl/curl.h>

#include <memory>

namespace dorvik {

struct CurlEasyDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct CurlListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct CurlMimeDeleter {
  void operator()(curl_mime* m) const { curl_mime_free(m); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;
using CurlMime = std::unique_ptr<curl_mime, CurlMimeDeleter>;

// A new easy handle after the library's global set-up (done once per process).
// Throws Error when libcurl cannot give one.
CurlEasy newCurlEasy();

// Appends a copy of `text`; throws Error when out of memory.
void appendTo(CurlList& list, const char* text);

}  // namespace dorvik
