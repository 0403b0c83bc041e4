// Bounds-checked reading and little-endian writing of protocol bytes.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "sql_error.h"

namespace standin {

// Reads from a byte range; any read past its end throws ProtocolError.
class ByteReader {
 public:
  explicit ByteReader(std::string_view data) : data_(data) {}
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return data_.size() - pos_; }
  bool atEnd() const { return pos_ >= data_.size(); }
  std::string_view whole() const { return data_; }

  std::string_view take(std::size_t n) {
    if (n > remaining()) throw ProtocolError("message truncated");
    std::string_view out = data_.substr(pos_, n);
    pos_ += n;
    return out;
  }
  void skip(std::size_t n) { take(n); }
  std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)[0]); }
  std::uint16_t u16le() { return static_cast<std::uint16_t>(le(2)); }
  std::uint32_t u32le() { return static_cast<std::uint32_t>(le(4)); }
  std::uint64_t u64le() { return le(8); }
  std::uint16_t u16be() {
    auto b = take(2);
    return static_cast<std::uint16_t>((static_cast<std::uint8_t>(b[0]) << 8) | static_cast<std::uint8_t>(b[1]));
  }
  std::uint64_t le(std::size_t n) {
    auto b = take(n);
    std::uint64_t v = 0;
    for (std::size_t i = n; i-- > 0;) v = (v << 8) | static_cast<std::uint8_t>(b[i]);
    return v;
  }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

// Appends little-endian values to a byte string.
class ByteWriter {
 public:
  std::string& bytes() { return out_; }
  const std::string& bytes() const { return out_; }
  void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u16le(std::uint16_t v) { le(v, 2); }
  void u32le(std::uint32_t v) { le(v, 4); }
  void u64le(std::uint64_t v) { le(v, 8); }
  void u16be(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v >> 8));
    u8(static_cast<std::uint8_t>(v & 0xFF));
  }
  void le(std::uint64_t v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) u8(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
  }
  void raw(std::string_view b) { out_.append(b); }
  // Overwrites a 16-bit little-endian value already written at offset.
  void patch16le(std::size_t offset, std::uint16_t v) {
    out_[offset] = static_cast<char>(v & 0xFF);
    out_[offset + 1] = static_cast<char>(v >> 8);
  }

 private:
  std::string out_;
};

}  // namespace standin
