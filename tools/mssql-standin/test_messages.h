// Test helpers that build client messages (LOGIN7, SQL batch, sp_executesql) as FreeTDS sends them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "byte_io.h"
#include "login7.h"
#include "text.h"

namespace standin::testing {

inline std::string allHeaders() {
  // ALL_HEADERS with one transaction-descriptor header, as clients send it.
  ByteWriter w;
  w.u32le(22);
  w.u32le(18);
  w.u16le(2);
  w.u64le(0);
  w.u32le(1);
  return w.bytes();
}

inline std::string login7(const std::string& user, const std::string& password, const std::string& database,
                          std::uint32_t packetSize = 4096) {
  const std::vector<std::string> fields = {"host", user, password, "app", "server", "", "lib", "", database};
  std::string data;
  ByteWriter pairs;
  const std::size_t fixed = 36 + 9 * 4 + 6 + 3 * 4 + 4;  // header, pairs, client id, SSPI/attach/change pairs, long SSPI
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::string u = utf8ToUtf16le(fields[i]);
    if (i == 2) u = scramblePassword(u);
    pairs.u16le(static_cast<std::uint16_t>(fixed + data.size()));
    pairs.u16le(static_cast<std::uint16_t>(i == 5 ? 0 : u.size() / 2));
    if (i != 5) data += u;
  }
  ByteWriter w;
  w.u32le(static_cast<std::uint32_t>(fixed + data.size()));
  w.u32le(0x74000004);
  w.u32le(packetSize);
  w.u32le(7);
  w.u32le(1234);
  w.u32le(0);
  w.u8(0xE0);
  w.u8(0x03);
  w.u8(0);
  w.u8(0);
  w.u32le(0);
  w.u32le(0x0409);
  w.raw(pairs.bytes());
  w.raw(std::string(6, '\0'));
  for (int i = 0; i < 3; ++i) w.u32le(0);
  w.u32le(0);
  w.raw(data);
  return w.bytes();
}

inline std::string sqlBatch(const std::string& sql) { return allHeaders() + utf8ToUtf16le(sql); }

// One parameter already encoded as name, status, TYPE_INFO and value.
inline std::string nvarcharParam(const std::string& name, const std::string& value) {
  ByteWriter w;
  const std::string n = utf8ToUtf16le(name), v = utf8ToUtf16le(value);
  w.u8(static_cast<std::uint8_t>(n.size() / 2));
  w.raw(n);
  w.u8(0);
  w.u8(0xE7);
  w.u16le(8000);
  w.raw(std::string("\x09\x04\xD0\x00\x34", 5));
  w.u16le(static_cast<std::uint16_t>(v.size()));
  w.raw(v);
  return w.bytes();
}

inline std::string intParam(const std::string& name, std::int32_t value, bool null = false) {
  ByteWriter w;
  const std::string n = utf8ToUtf16le(name);
  w.u8(static_cast<std::uint8_t>(n.size() / 2));
  w.raw(n);
  w.u8(0);
  w.u8(0x26);
  w.u8(4);
  if (null) {
    w.u8(0);
  } else {
    w.u8(4);
    w.u32le(static_cast<std::uint32_t>(value));
  }
  return w.bytes();
}

inline std::string datetimeParam(const std::string& name, std::int32_t days, std::uint32_t ticks) {
  ByteWriter w;
  const std::string n = utf8ToUtf16le(name);
  w.u8(static_cast<std::uint8_t>(n.size() / 2));
  w.raw(n);
  w.u8(0);
  w.u8(0x6F);
  w.u8(8);
  w.u8(8);
  w.u32le(static_cast<std::uint32_t>(days));
  w.u32le(ticks);
  return w.bytes();
}

inline std::string executeSql(const std::string& sql, const std::string& declarations, const std::vector<std::string>& params) {
  ByteWriter w;
  w.raw(allHeaders());
  w.u16le(0xFFFF);
  w.u16le(10);  // sp_executesql
  w.u16le(0);
  w.raw(nvarcharParam("", sql));
  w.raw(nvarcharParam("", declarations));
  for (const std::string& p : params) w.raw(p);
  return w.bytes();
}

// Wraps a payload into packets of at most packetSize bytes.
inline std::string packets(std::uint8_t type, const std::string& payload, std::size_t packetSize = 4096) {
  std::string out;
  std::size_t offset = 0;
  do {
    const std::size_t n = std::min(packetSize - 8, payload.size() - offset);
    const bool last = offset + n == payload.size();
    const std::size_t len = n + 8;
    out += std::string{static_cast<char>(type), static_cast<char>(last ? 1 : 0), static_cast<char>(len >> 8),
                       static_cast<char>(len & 0xFF), 0, 0, 1, 0};
    out.append(payload, offset, n);
    offset += n;
  } while (offset < payload.size());
  return out;
}

}  // namespace standin::testing
