// PRELOGIN reading and answering.
//
// The payload is an option table followed by the option data:
//   repeated { u8 token, u16 offset (big-endian, from payload start), u16 length (big-endian) }
//   u8 0xFF terminator
// Tokens: 0 VERSION (u32 version + u16 sub-build), 1 ENCRYPTION (u8), 2 INSTOPT
// (zero-terminated instance name), 3 THREADID (u32), 4 MARS (u8), 5 TRACEID,
// 6 FEDAUTHREQUIRED, 7 NONCEOPT.
#include "prelogin.h"

#include "byte_io.h"
#include "sql_error.h"

namespace standin {

PreLoginRequest parsePreLogin(std::string_view payload) {
  PreLoginRequest req;
  ByteReader table(payload);
  for (int count = 0;; ++count) {
    if (count > 64) throw ProtocolError("too many PRELOGIN options");
    const std::uint8_t token = table.u8();
    if (token == 0xFF) break;
    const std::uint16_t offset = table.u16be();
    const std::uint16_t length = table.u16be();
    if (static_cast<std::size_t>(offset) + length > payload.size()) throw ProtocolError("PRELOGIN option outside the message");
    const std::string_view data = payload.substr(offset, length);
    if (token == 1 && length >= 1) req.encryption = static_cast<std::uint8_t>(data[0]);
    if (token == 4 && length >= 1) req.mars = data[0] != 0;
  }
  return req;
}

std::string preLoginResponse() {
  // VERSION, ENCRYPTION, INSTOPT, THREADID, MARS; 5 entries of 5 bytes plus the terminator.
  struct Option {
    std::uint8_t token;
    std::string data;
  };
  const Option options[] = {
      {0, std::string("\x10\x00\x03\xE8\x00\x00", 6)},  // 16.0.1000
      {1, std::string(1, '\x02')},                      // encryption not supported
      {2, std::string(1, '\x00')},
      {3, std::string()},
      {4, std::string(1, '\x00')},
  };
  ByteWriter w;
  std::uint16_t offset = static_cast<std::uint16_t>(std::size(options) * 5 + 1);
  for (const Option& o : options) {
    w.u8(o.token);
    w.u16be(offset);
    w.u16be(static_cast<std::uint16_t>(o.data.size()));
    offset = static_cast<std::uint16_t>(offset + o.data.size());
  }
  w.u8(0xFF);
  for (const Option& o : options) w.raw(o.data);
  return w.bytes();
}

}  // namespace standin
