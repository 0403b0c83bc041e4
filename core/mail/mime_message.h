// The MIME body of a message as libcurl builds it: text/plain and text/html alternatives, maybe an attachment.
#pragma once
#include <curl/curl.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/mail/curl_handles.h"

namespace dorvik {

struct MailContent {
  std::string plainText;                           // the body, UTF-8
  std::string htmlText;                            // the HTML part, UTF-8
  std::optional<std::filesystem::path> attachment;  // a file to attach
};

// multipart/alternative of a quoted-printable text/plain and text/html part in
// UTF-8; with an attachment, a multipart/mixed holding that pair and the file.
// Without an attachment the root must be typed multipart/alternative through
// the message headers: returns that header line, or an empty one.
// Throws Error when libcurl refuses a part.
CurlMime buildMime(CURL* easy, const MailContent& content, std::string& rootContentType);

}  // namespace dorvik
