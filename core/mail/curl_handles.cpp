// newCurlEasy and appendTo.
#include "core/mail/curl_handles.h"

#include "platform/error.h"

namespace dorvik {

CurlEasy newCurlEasy() {
  // Thread-safe since C++11 statics; curl_global_init itself is not re-entrant.
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (init != CURLE_OK) throw Error(std::string("libcurl set-up failed: ") + curl_easy_strerror(init));
  CurlEasy easy(curl_easy_init());
  if (!easy) throw Error("libcurl set-up failed: no transfer handle");
  return easy;
}

void appendTo(CurlList& list, const char* text) {
  curl_slist* grown = curl_slist_append(list.get(), text);
  if (!grown) throw Error("out of memory building a libcurl list");
  // curl_slist_append returns the same head once the list exists.
  (void)list.release();
  list.reset(grown);
}

}  // namespace dorvik
