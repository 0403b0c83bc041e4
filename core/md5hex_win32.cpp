// md5hex on the Windows crypto API (BCrypt), which every Windows since Vista carries.
#include "core/md5hex.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace dorvik {
namespace {

struct AlgorithmCloser {
  void operator()(BCRYPT_ALG_HANDLE h) const noexcept { BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashCloser {
  void operator()(BCRYPT_HASH_HANDLE h) const noexcept { BCryptDestroyHash(h); }
};

void check(NTSTATUS status, const char* step) {
  if (status < 0) {
    throw std::runtime_error(std::string("MD5 digest failed: ") + step + " returned status " + std::to_string(status));
  }
}

}  // namespace

std::string md5hex(std::string_view text) {
  BCRYPT_ALG_HANDLE rawAlgorithm = nullptr;
  check(BCryptOpenAlgorithmProvider(&rawAlgorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0), "BCryptOpenAlgorithmProvider");
  const std::unique_ptr<void, AlgorithmCloser> algorithm(rawAlgorithm);

  BCRYPT_HASH_HANDLE rawHash = nullptr;
  check(BCryptCreateHash(algorithm.get(), &rawHash, nullptr, 0, nullptr, 0, 0), "BCryptCreateHash");
  const std::unique_ptr<void, HashCloser> hash(rawHash);

  // BCryptHashData takes at most a ULONG at a time.
  std::string_view rest = text;
  while (!rest.empty()) {
    const auto piece = static_cast<ULONG>(std::min<std::size_t>(rest.size(), 0x40000000));
    auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(rest.data()));
    check(BCryptHashData(hash.get(), bytes, piece, 0), "BCryptHashData");
    rest.remove_prefix(piece);
  }
  unsigned char digest[16];
  check(BCryptFinishHash(hash.get(), digest, sizeof digest, 0), "BCryptFinishHash");

  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 * sizeof digest);
  for (unsigned char byte : digest) {
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
  }
  return out;
}

}  // namespace dorvik
