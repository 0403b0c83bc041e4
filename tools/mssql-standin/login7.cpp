// LOGIN7 reading and password de-obfuscation.
//
// Layout (all integers little-endian):
//   u32 length, u32 TDS version, u32 packet size, u32 client program version,
//   u32 client process id, u32 connection id, u8 option flags 1, u8 option flags 2,
//   u8 type flags, u8 option flags 3, i32 client time zone, u32 client LCID   (36 bytes)
//   then pairs { u16 offset, u16 length in characters } for: host name, user name,
//   password, application name, server name, extension, client library name,
//   language, database; then 6 bytes client id; then pairs for SSPI, attach-db
//   file and change-password, and u32 long SSPI length.
// Offsets count from the start of the record; texts are UTF-16LE. Each password
// byte is stored with its nibbles swapped and then XOR 0xA5.
#include "login7.h"

#include "byte_io.h"
#include "sql_error.h"
#include "text.h"

namespace standin {
namespace {

std::uint8_t unscramble(std::uint8_t b) {
  const auto x = static_cast<std::uint8_t>(b ^ 0xA5);
  return static_cast<std::uint8_t>(((x & 0x0F) << 4) | (x >> 4));
}

}  // namespace

std::string scramblePassword(std::string_view utf16le) {
  std::string out;
  for (char c : utf16le) {
    const auto b = static_cast<std::uint8_t>(c);
    out.push_back(static_cast<char>((((b & 0x0F) << 4) | (b >> 4)) ^ 0xA5));
  }
  return out;
}

Login7 parseLogin7(std::string_view payload) {
  ByteReader r(payload);
  Login7 l;
  const std::uint32_t length = r.u32le();
  if (length > payload.size() || length < 94) throw ProtocolError("LOGIN7 length does not match its message");
  const std::string_view record = payload.substr(0, length);
  l.tdsVersion = r.u32le();
  l.packetSize = r.u32le();
  r.skip(36 - 12);
  auto field = [&](bool scrambled) {
    const std::uint16_t offset = r.u16le();
    const std::uint16_t chars = r.u16le();
    const std::size_t bytes = static_cast<std::size_t>(chars) * 2;
    if (chars == 0) return std::string();
    if (static_cast<std::size_t>(offset) + bytes > record.size()) throw ProtocolError("LOGIN7 field outside the record");
    std::string raw(record.substr(offset, bytes));
    if (scrambled) {
      for (char& c : raw) c = static_cast<char>(unscramble(static_cast<std::uint8_t>(c)));
    }
    return utf16leToUtf8(raw);
  };
  l.hostName = field(false);
  l.userName = field(false);
  l.password = field(true);
  l.appName = field(false);
  l.serverName = field(false);
  r.skip(4);  // extension
  l.libraryName = field(false);
  l.language = field(false);
  l.database = field(false);
  return l;
}

}  // namespace standin
