// POSIX face of the text conversions, on top of iconv.
#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace dorvik::platform {
namespace {

// One iconv conversion descriptor, closed on scope exit.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to + ": " +
                               std::strerror(errno));
    }
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input; an undecodable unit of `badStep` bytes becomes `replacement`.
  std::string run(std::string_view input, size_t badStep, std::string_view replacement) {
    std::string out;
    out.reserve(input.size() * 2 + 8);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char chunk[4096];
    while (inLeft > 0) {
      char* dst = chunk;
      size_t dstLeft = sizeof chunk;
      const size_t rc = ::iconv(cd_, &in, &inLeft, &dst, &dstLeft);
      out.append(chunk, sizeof chunk - dstLeft);
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end): replace and step over it.
      const size_t step = std::min(badStep, inLeft);
      in += step;
      inLeft -= step;
      out.append(replacement);
      ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

constexpr std::string_view kUtf16Replacement("\xFD\xFF", 2);  // U+FFFD, little endian
constexpr std::string_view kUtf8Replacement("\xEF\xBF\xBD", 3);

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
  Converter c("UTF-16LE", "UTF-8");
  const std::string bytes = c.run(utf8, 1, kUtf16Replacement);
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string bytes(utf16.size() * 2, '\0');
  for (size_t i = 0; i < utf16.size(); ++i) {
    bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
  }
  Converter c("UTF-8", "UTF-16LE");
  return c.run(bytes, 2, kUtf8Replacement);
}

std::string ansiToUtf8(std::string_view ansi) {
  Converter c("UTF-8", "WINDOWS-1250");
  return c.run(ansi, 1, kUtf8Replacement);
}

}  // namespace dorvik::platform
