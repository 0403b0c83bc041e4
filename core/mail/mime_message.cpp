// buildMime: the message parts handed to libcurl, which does the quoted-printable and multipart encoding.
#include "core/mail/mime_message.h"

#include <string>

#include "platform/error.h"

namespace dorvik {
namespace {

void check(CURLcode rc, const char* what) {
  if (rc != CURLE_OK) throw Error(std::string("Cannot build the message (") + what + "): " + curl_easy_strerror(rc));
}

curl_mimepart* newPart(curl_mime* mime) {
  curl_mimepart* part = curl_mime_addpart(mime);
  if (!part) throw Error("Cannot build the message: out of memory");
  return part;
}

void addText(curl_mime* mime, const std::string& text, const char* type) {
  curl_mimepart* part = newPart(mime);
  check(curl_mime_data(part, text.data(), text.size()), type);
  check(curl_mime_type(part, type), type);
  check(curl_mime_encoder(part, "quoted-printable"), type);
}

void addAlternatives(curl_mime* mime, const MailContent& content) {
  addText(mime, content.plainText, "text/plain; charset=utf-8");
  addText(mime, content.htmlText, "text/html; charset=utf-8");
}

}  // namespace

CurlMime buildMime(CURL* easy, const MailContent& content, std::string& rootContentType) {
  CurlMime root(curl_mime_init(easy));
  if (!root) throw Error("Cannot build the message: out of memory");
  if (!content.attachment) {
    addAlternatives(root.get(), content);
    // libcurl types its root part multipart/mixed unless the headers say otherwise.
    rootContentType = "Content-Type: multipart/alternative";
    return root;
  }
  rootContentType.clear();
  CurlMime alternatives(curl_mime_init(easy));
  if (!alternatives) throw Error("Cannot build the message: out of memory");
  addAlternatives(alternatives.get(), content);
  curl_mimepart* pair = newPart(root.get());
  check(curl_mime_subparts(pair, alternatives.get()), "alternatives");
  (void)alternatives.release();  // owned by `pair` now
  check(curl_mime_type(pair, "multipart/alternative"), "alternatives");

  curl_mimepart* file = newPart(root.get());
  const auto name = content.attachment->u8string();
  check(curl_mime_filedata(file, reinterpret_cast<const char*>(name.c_str())), "attachment");
  check(curl_mime_encoder(file, "base64"), "attachment");
  return root;
}

}  // namespace dorvik
