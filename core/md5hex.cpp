// md5hex on OpenSSL's EVP interface (the only place that names the crypto library).
#include "core/md5hex.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace dorvik {

std::string md5hex(std::string_view text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1) {
    throw std::runtime_error("MD5 digest failed");
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 * length);
  for (unsigned int i = 0; i < length; ++i) {
    out.push_back(kHex[digest[i] >> 4]);
    out.push_back(kHex[digest[i] & 0x0F]);
  }
  return out;
}

}  // namespace dorvik
