// Token encodings of the tabular-result stream (TDS 7.4).
//
// ERROR 0xAA / INFO 0xAB: u16 length, i32 number, u8 state, u8 class, US_VARCHAR
//   message, B_VARCHAR server name, B_VARCHAR procedure name, u32 line number.
// LOGINACK 0xAD: u16 length, u8 interface (1 = T-SQL), u32 TDS version (sent
//   big-endian: 74 00 00 04), B_VARCHAR program name, 4 bytes program version.
// ENVCHANGE 0xE3: u16 length, u8 type, new value, old value; B_VARCHAR texts for
//   database (1), language (2) and packet size (4); B_VARBYTE for collation (7).
// DONE 0xFD / DONEPROC 0xFE / DONEINPROC 0xFF: u16 status, u16 current command, u64 row count.
// RETURNSTATUS 0x79: i32.
// COLMETADATA 0x81: u16 column count, then per column u32 user type, u16 flags,
//   TYPE_INFO, B_VARCHAR name. ROW 0xD1: one value per column in TYPE_INFO form.
#include "token_writer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "sql_datetime.h"
#include "text.h"

namespace standin {
namespace {

using Base = SqlType::Base;
__extension__ typedef unsigned __int128 U128;

std::uint8_t intSize(Base b) {
  switch (b) {
    case Base::TinyInt: return 1;
    case Base::SmallInt: return 2;
    case Base::Int: return 4;
    default: return 8;
  }
}

std::uint8_t decimalBytes(int precision) {
  if (precision <= 9) return 5;
  if (precision <= 19) return 9;
  if (precision <= 28) return 13;
  return 17;
}

std::int64_t asInteger(const Cell& c) {
  switch (c.kind) {
    case Cell::Kind::Integer: return c.integer;
    case Cell::Kind::Real: return static_cast<std::int64_t>(c.real);
    case Cell::Kind::Text: return std::strtoll(c.text.c_str(), nullptr, 10);
    default: return 0;
  }
}

double asReal(const Cell& c) {
  switch (c.kind) {
    case Cell::Kind::Integer: return static_cast<double>(c.integer);
    case Cell::Kind::Real: return c.real;
    case Cell::Kind::Text: {
      if (auto d = parseDateTime(c.text)) return *d;
      return std::strtod(c.text.c_str(), nullptr);
    }
    default: return 0;
  }
}

std::string asText(const Cell& c) {
  switch (c.kind) {
    case Cell::Kind::Integer: return std::to_string(c.integer);
    case Cell::Kind::Real: {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.15g", c.real);
      return buf;
    }
    default: return c.text;
  }
}

}  // namespace

void TokenWriter::bVarchar(const std::string& utf8) {
  std::string u = utf8ToUtf16le(utf8);
  if (u.size() > 510) u.resize(510);
  w_.u8(static_cast<std::uint8_t>(u.size() / 2));
  w_.raw(u);
}

void TokenWriter::usVarchar(const std::string& utf8) {
  std::string u = utf8ToUtf16le(utf8);
  if (u.size() > 65534) u.resize(65534);
  w_.u16le(static_cast<std::uint16_t>(u.size() / 2));
  w_.raw(u);
}

void TokenWriter::loginAck(const std::string& programName) {
  w_.u8(0xAD);
  const std::size_t lengthAt = w_.bytes().size();
  w_.u16le(0);
  w_.u8(1);
  w_.raw(std::string("\x74\x00\x00\x04", 4));
  bVarchar(programName);
  w_.raw(std::string("\x10\x00\x03\xE8", 4));
  w_.patch16le(lengthAt, static_cast<std::uint16_t>(w_.bytes().size() - lengthAt - 2));
}

void TokenWriter::envChange(std::uint8_t type, const std::string& newValue, const std::string& oldValue) {
  w_.u8(0xE3);
  const std::size_t lengthAt = w_.bytes().size();
  w_.u16le(0);
  w_.u8(type);
  bVarchar(newValue);
  bVarchar(oldValue);
  w_.patch16le(lengthAt, static_cast<std::uint16_t>(w_.bytes().size() - lengthAt - 2));
}

void TokenWriter::envChangeCollation() {
  w_.u8(0xE3);
  w_.u16le(1 + 1 + 5 + 1);
  w_.u8(7);
  w_.u8(5);
  w_.raw(std::string_view(kCollation, 5));
  w_.u8(0);
}

void TokenWriter::message(std::uint8_t token, std::int32_t number, std::uint8_t state, std::uint8_t severity,
                          const std::string& text) {
  w_.u8(token);
  const std::size_t lengthAt = w_.bytes().size();
  w_.u16le(0);
  w_.u32le(static_cast<std::uint32_t>(number));
  w_.u8(state);
  w_.u8(severity);
  usVarchar(text.size() > 4000 ? text.substr(0, 4000) : text);
  bVarchar(serverName_);
  bVarchar("");
  w_.u32le(1);
  w_.patch16le(lengthAt, static_cast<std::uint16_t>(w_.bytes().size() - lengthAt - 2));
}

void TokenWriter::done(std::uint8_t token, std::uint16_t status, std::uint16_t command, std::uint64_t rows) {
  lastDone_ = w_.bytes().size();
  w_.u8(token);
  w_.u16le(status);
  w_.u16le(command);
  w_.u64le(rows);
}

void TokenWriter::finishBatch() {
  if (lastDone_ == std::string::npos) return done(kDone, kDoneFinal, 0, 0);
  w_.bytes()[lastDone_ + 1] = static_cast<char>(static_cast<std::uint8_t>(w_.bytes()[lastDone_ + 1]) & ~kDoneMore);
}

void TokenWriter::returnStatus(std::int32_t value) {
  w_.u8(0x79);
  w_.u32le(static_cast<std::uint32_t>(value));
}

void TokenWriter::typeInfo(const SqlType& t) {
  switch (t.base) {
    case Base::TinyInt:
    case Base::SmallInt:
    case Base::Int:
    case Base::BigInt:
      w_.u8(0x26);
      w_.u8(intSize(t.base));
      return;
    case Base::Bit:
      w_.u8(0x68);
      w_.u8(1);
      return;
    case Base::Float:
    case Base::Real:
      w_.u8(0x6D);
      w_.u8(t.base == Base::Float ? 8 : 4);
      return;
    case Base::Decimal:
      w_.u8(0x6A);
      w_.u8(decimalBytes(t.precision));
      w_.u8(static_cast<std::uint8_t>(t.precision));
      w_.u8(static_cast<std::uint8_t>(t.scale));
      return;
    case Base::DateTime:
      w_.u8(0x6F);
      w_.u8(8);
      return;
    case Base::Date:
      w_.u8(0x28);
      return;
    case Base::NVarChar:
    case Base::NChar:
      w_.u8(t.base == Base::NVarChar ? 0xE7 : 0xEF);
      w_.u16le(t.length < 0 ? 0xFFFF : static_cast<std::uint16_t>(t.length * 2));
      w_.raw(std::string_view(kCollation, 5));
      return;
    case Base::VarChar:
    case Base::Char:
    case Base::Unknown:
      w_.u8(t.base == Base::Char ? 0xAF : 0xA7);
      w_.u16le(t.length < 0 ? 0xFFFF : static_cast<std::uint16_t>(std::max(1, t.length)));
      w_.raw(std::string_view(kCollation, 5));
      return;
  }
}

void TokenWriter::value(const SqlType& t, const Cell& c) {
  const bool null = c.kind == Cell::Kind::Null;
  switch (t.base) {
    case Base::TinyInt:
    case Base::SmallInt:
    case Base::Int:
    case Base::BigInt:
      if (null) return w_.u8(0);
      w_.u8(intSize(t.base));
      w_.le(static_cast<std::uint64_t>(asInteger(c)), intSize(t.base));
      return;
    case Base::Bit:
      if (null) return w_.u8(0);
      w_.u8(1);
      w_.u8(asReal(c) != 0 ? 1 : 0);
      return;
    case Base::Float:
    case Base::Real: {
      if (null) return w_.u8(0);
      const double d = asReal(c);
      if (t.base == Base::Float) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, 8);
        w_.u8(8);
        w_.u64le(bits);
      } else {
        const auto f = static_cast<float>(d);
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, 4);
        w_.u8(4);
        w_.u32le(bits);
      }
      return;
    }
    case Base::Decimal: {
      if (null) return w_.u8(0);
      const std::uint8_t size = decimalBytes(t.precision);
      U128 magnitude = 0;
      bool negative = false;
      if (c.kind == Cell::Kind::Integer && t.scale == 0) {
        negative = c.integer < 0;
        magnitude = negative ? static_cast<U128>(-(c.integer + 1)) + 1 : static_cast<U128>(c.integer);
      } else {
        const double scaled = std::round(asReal(c) * std::pow(10.0, t.scale));
        negative = scaled < 0;
        magnitude = static_cast<U128>(std::fabs(scaled));
      }
      w_.u8(size);
      w_.u8(negative ? 0 : 1);
      for (std::uint8_t i = 0; i + 1 < size; ++i) w_.u8(static_cast<std::uint8_t>((magnitude >> (8 * i)) & 0xFF));
      return;
    }
    case Base::DateTime: {
      if (null) return w_.u8(0);
      std::int32_t days = 0;
      std::uint32_t ticks = 0;
      toDaysAndTicks(asReal(c), days, ticks);
      w_.u8(8);
      w_.u32le(static_cast<std::uint32_t>(days));
      w_.u32le(ticks);
      return;
    }
    case Base::Date: {
      if (null) return w_.u8(0);
      std::int32_t days = 0;
      std::uint32_t ticks = 0;
      toDaysAndTicks(asReal(c), days, ticks);
      w_.u8(3);
      w_.le(static_cast<std::uint64_t>(days + 693595), 3);  // days since 0001-01-01
      return;
    }
    default: break;
  }
  // Character types.
  std::string bytes;
  if (!null) bytes = t.isUnicode() ? utf8ToUtf16le(asText(c)) : utf8ToCp1252(asText(c));
  if (t.length < 0) {  // PLP: u64 total length, chunks of u32 length + data, u32 0 terminator
    if (null) return w_.u64le(~std::uint64_t{0});
    w_.u64le(bytes.size());
    if (!bytes.empty()) {
      w_.u32le(static_cast<std::uint32_t>(bytes.size()));
      w_.raw(bytes);
    }
    w_.u32le(0);
    return;
  }
  if (null) return w_.u16le(0xFFFF);
  if ((t.base == Base::NChar || t.base == Base::Char)) {
    const std::size_t width = static_cast<std::size_t>(t.length) * (t.isUnicode() ? 2 : 1);
    while (bytes.size() < width) bytes += t.isUnicode() ? std::string(" \0", 2) : std::string(" ");
  }
  w_.u16le(static_cast<std::uint16_t>(bytes.size()));
  w_.raw(bytes);
}

void TokenWriter::resultSet(const ResultSet& rs) {
  w_.u8(0x81);
  w_.u16le(static_cast<std::uint16_t>(rs.columns.size()));
  for (const ResultColumn& c : rs.columns) {
    w_.u32le(0);
    w_.u16le(0x0009);  // nullable, read-write
    typeInfo(c.type);
    bVarchar(c.name);
  }
  for (const auto& row : rs.rows) {
    w_.u8(0xD1);
    for (std::size_t i = 0; i < rs.columns.size(); ++i) value(rs.columns[i].type, row[i]);
  }
}

}  // namespace standin
