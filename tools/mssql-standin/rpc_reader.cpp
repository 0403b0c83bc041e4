// SQL batch and RPC request reading.
//
// Both start with ALL_HEADERS: u32 total length (including itself), then headers
// of u32 length, u16 type, data. A SQL batch continues with its UTF-16LE text.
// An RPC request continues with:
//   u16 name length; 0xFFFF means a u16 well-known procedure id follows (10 = sp_executesql),
//     otherwise that many UTF-16LE characters of the procedure name
//   u16 option flags
//   parameters, each: B_VARCHAR name, u8 status (bit 0: output), TYPE_INFO, value
// and further requests may follow after a 0x80 or 0xFF separator byte.
//
// TYPE_INFO forms read here:
//   fixed-length types (no length): 0x30 tinyint, 0x32 bit, 0x34 smallint, 0x38 int,
//     0x7F bigint, 0x3B real, 0x3E float, 0x3D datetime, 0x3A smalldatetime, 0x1F null
//   u8 maximum length: 0x26 intn, 0x68 bitn, 0x6D floatn, 0x6F datetimen, 0x6E moneyn,
//     0x24 guid, 0x6A decimaln / 0x6C numericn (then u8 precision, u8 scale)
//   0x28 date (no length); 0x29 time, 0x2A datetime2, 0x2B datetimeoffset (u8 scale)
//   u16 maximum length: 0xE7 nvarchar, 0xEF nchar, 0xA7 varchar, 0xAF char (then
//     5 bytes collation), 0xA5 varbinary, 0xAD binary; 0xFFFF marks a (max) type
//     whose value is PLP: u64 total length, chunks of u32 length + data, u32 0
//   u32 maximum length: 0x63 ntext, 0x23 text (then collation), 0x22 image
// Values: u8 length (0 = NULL) for u8-length types and date/time, u16 length
// (0xFFFF = NULL) for u16-length types, u32 length (0xFFFFFFFF = NULL) for u32 types.
#include "rpc_reader.h"

#include <cmath>
#include <cstring>

#include "byte_io.h"
#include "sql_datetime.h"
#include "sql_error.h"
#include "text.h"

namespace standin {
namespace {

using Base = SqlType::Base;

void skipAllHeaders(ByteReader& r) {
  const std::size_t start = r.position();
  const std::uint32_t total = r.u32le();
  if (total < 4 || total > r.whole().size() - start) throw ProtocolError("ALL_HEADERS length outside the message");
  r.skip(total - 4);
}

const char* wellKnownProcedure(std::uint16_t id) {
  switch (id) {
    case 1: return "sp_cursor";
    case 2: return "sp_cursoropen";
    case 3: return "sp_cursorprepare";
    case 4: return "sp_cursorexecute";
    case 5: return "sp_cursorprepexec";
    case 6: return "sp_cursorunprepare";
    case 7: return "sp_cursorfetch";
    case 8: return "sp_cursoroption";
    case 9: return "sp_cursorclose";
    case 10: return "sp_executesql";
    case 11: return "sp_prepare";
    case 12: return "sp_execute";
    case 13: return "sp_prepexec";
    case 14: return "sp_prepexecrpc";
    case 15: return "sp_unprepare";
    default: return "";
  }
}

double dateFromBytes(std::uint64_t daysSince0001) { return static_cast<double>(static_cast<std::int64_t>(daysSince0001) - 693595); }

double timeFromBytes(std::uint64_t units, std::uint8_t scale) { return static_cast<double>(units) / std::pow(10.0, scale) / 86400.0; }

std::size_t timeBytes(std::uint8_t scale) { return scale <= 2 ? 3 : scale <= 4 ? 4 : 5; }

std::string readPlp(ByteReader& r, bool& isNull) {
  const std::uint64_t total = r.u64le();
  isNull = total == ~std::uint64_t{0};
  std::string out;
  if (isNull) return out;
  for (int chunks = 0;; ++chunks) {
    const std::uint32_t n = r.u32le();
    if (n == 0) break;
    if (out.size() + n > 64u * 1024u * 1024u) throw ProtocolError("PLP value too large");
    out.append(r.take(n));
  }
  return out;
}

RpcParameter readParameter(ByteReader& r) {
  RpcParameter p;
  const std::uint8_t nameChars = r.u8();
  p.name = utf16leToUtf8(r.take(static_cast<std::size_t>(nameChars) * 2));
  p.output = (r.u8() & 0x01) != 0;
  const std::uint8_t type = r.u8();
  Cell& v = p.value;
  auto setInt = [&](std::int64_t x) {
    v.kind = Cell::Kind::Integer;
    v.integer = x;
  };
  auto setReal = [&](double x) {
    v.kind = Cell::Kind::Real;
    v.real = x;
  };
  auto signedLe = [](std::uint64_t raw, std::size_t n) {
    if (n < 8 && (raw >> (8 * n - 1)) & 1) raw |= ~std::uint64_t{0} << (8 * n);
    return static_cast<std::int64_t>(raw);
  };
  auto realFrom = [](std::uint64_t raw, std::size_t n) {
    if (n == 4) {
      float f = 0;
      const auto bits = static_cast<std::uint32_t>(raw);
      std::memcpy(&f, &bits, 4);
      return static_cast<double>(f);
    }
    double d = 0;
    std::memcpy(&d, &raw, 8);
    return d;
  };
  switch (type) {
    case 0x1F: p.type = SqlType::of(Base::Int); return p;
    case 0x30: p.type = SqlType::of(Base::TinyInt); setInt(r.u8()); return p;
    case 0x32: p.type = SqlType::of(Base::Bit); setInt(r.u8() != 0); return p;
    case 0x34: p.type = SqlType::of(Base::SmallInt); setInt(signedLe(r.le(2), 2)); return p;
    case 0x38: p.type = SqlType::of(Base::Int); setInt(signedLe(r.le(4), 4)); return p;
    case 0x7F: p.type = SqlType::of(Base::BigInt); setInt(signedLe(r.le(8), 8)); return p;
    case 0x3B: p.type = SqlType::of(Base::Real); setReal(realFrom(r.le(4), 4)); return p;
    case 0x3E: p.type = SqlType::of(Base::Float); setReal(realFrom(r.le(8), 8)); return p;
    case 0x3D: {
      p.type = SqlType::of(Base::DateTime);
      const auto days = static_cast<std::int32_t>(r.u32le());
      setReal(fromDaysAndTicks(days, r.u32le()));
      return p;
    }
    case 0x3A: {
      p.type = SqlType::of(Base::DateTime);
      const std::uint16_t days = r.u16le();
      setReal(days + r.u16le() / 1440.0);
      return p;
    }
    case 0x26:
    case 0x68:
    case 0x6D:
    case 0x6F:
    case 0x6A:
    case 0x6C:
    case 0x6E:
    case 0x24: {
      const std::uint8_t max = r.u8();
      std::uint8_t precision = 0, scale = 0;
      if (type == 0x6A || type == 0x6C) {
        precision = r.u8();
        scale = r.u8();
      }
      const std::uint8_t len = r.u8();
      if (len > max || len > 17) throw ProtocolError("parameter value longer than its type");
      const std::string_view data = r.take(len);
      ByteReader d(data);
      switch (type) {
        case 0x26:
          p.type = SqlType::of(max == 1 ? Base::TinyInt : max == 2 ? Base::SmallInt : max == 4 ? Base::Int : Base::BigInt);
          if (len != 0 && len != 1 && len != 2 && len != 4 && len != 8) throw ProtocolError("bad integer length");
          if (len) setInt(len == 1 ? d.u8() : signedLe(d.le(len), len));
          break;
        case 0x68:
          p.type = SqlType::of(Base::Bit);
          if (len) setInt(d.u8() != 0);
          break;
        case 0x6D:
          p.type = SqlType::of(max == 4 ? Base::Real : Base::Float);
          if (len != 0 && len != 4 && len != 8) throw ProtocolError("bad float length");
          if (len) setReal(realFrom(d.le(len), len));
          break;
        case 0x6F:
          p.type = SqlType::of(Base::DateTime);
          if (len == 8) {
            const auto days = static_cast<std::int32_t>(d.u32le());
            setReal(fromDaysAndTicks(days, d.u32le()));
          } else if (len == 4) {
            const std::uint16_t days = d.u16le();
            setReal(days + d.u16le() / 1440.0);
          } else if (len != 0) {
            throw ProtocolError("bad datetime length");
          }
          break;
        case 0x6A:
        case 0x6C: {
          if (precision < 1 || precision > 38 || scale > precision) throw ProtocolError("bad decimal precision");
          p.type = SqlType::decimal(precision, scale);
          if (len) {
            const bool positive = d.u8() != 0;
            double m = 0;
            for (std::size_t i = len - 1; i-- > 0;) m = m * 256.0 + static_cast<std::uint8_t>(data[1 + i]);
            m = m / std::pow(10.0, scale);
            if (scale == 0 && m < 9e18) setInt(static_cast<std::int64_t>(positive ? m : -m));
            else setReal(positive ? m : -m);
          }
          break;
        }
        default:
          throw SqlError(206, 16, 2, "Operand type clash: this parameter type is not supported by this server.");
      }
      return p;
    }
    case 0x28: {
      p.type = SqlType::of(Base::Date);
      const std::uint8_t len = r.u8();
      if (len == 3) setReal(dateFromBytes(r.le(3)));
      else if (len != 0) throw ProtocolError("bad date length");
      return p;
    }
    case 0x29:
    case 0x2A:
    case 0x2B: {
      const std::uint8_t scale = r.u8();
      if (scale > 7) throw ProtocolError("bad time scale");
      p.type = SqlType::of(Base::DateTime);
      const std::uint8_t len = r.u8();
      if (len == 0) return p;
      const std::size_t tb = timeBytes(scale);
      const std::size_t expected = type == 0x29 ? tb : type == 0x2A ? tb + 3 : tb + 5;
      if (len != expected) throw ProtocolError("bad date-time length");
      const double time = timeFromBytes(r.le(tb), scale);
      if (type == 0x29) {
        setReal(time);
      } else {
        double days = dateFromBytes(r.le(3)) + time;
        if (type == 0x2B) days += static_cast<double>(static_cast<std::int16_t>(r.u16le())) / 1440.0;
        setReal(days);
      }
      return p;
    }
    case 0xE7:
    case 0xEF:
    case 0xA7:
    case 0xAF:
    case 0xA5:
    case 0xAD: {
      const std::uint16_t max = r.u16le();
      const bool character = type == 0xE7 || type == 0xEF || type == 0xA7 || type == 0xAF;
      if (character) r.skip(5);
      const bool unicode = type == 0xE7 || type == 0xEF;
      if (!character) throw SqlError(206, 16, 2, "Operand type clash: varbinary is incompatible with this server.");
      std::string raw;
      bool isNull = false;
      if (max == 0xFFFF) {
        raw = readPlp(r, isNull);
      } else {
        const std::uint16_t len = r.u16le();
        isNull = len == 0xFFFF;
        if (!isNull) {
          if (len > max) throw ProtocolError("parameter value longer than its type");
          raw = std::string(r.take(len));
        }
      }
      const int chars = max == 0xFFFF ? -1 : (unicode ? max / 2 : max);
      p.type = SqlType::text(unicode ? Base::NVarChar : Base::VarChar, chars);
      if (!isNull) {
        v.kind = Cell::Kind::Text;
        v.text = unicode ? utf16leToUtf8(raw) : cp1252ToUtf8(raw);
      }
      return p;
    }
    case 0x63:
    case 0x23: {
      r.u32le();
      r.skip(5);
      const std::uint32_t len = r.u32le();
      p.type = SqlType::text(type == 0x63 ? Base::NVarChar : Base::VarChar, -1);
      if (len != 0xFFFFFFFF) {
        v.kind = Cell::Kind::Text;
        const std::string_view raw = r.take(len);
        v.text = type == 0x63 ? utf16leToUtf8(raw) : cp1252ToUtf8(raw);
      }
      return p;
    }
    default:
      throw ProtocolError("unknown parameter type");
  }
}

}  // namespace

std::string parseSqlBatch(std::string_view payload) {
  ByteReader r(payload);
  skipAllHeaders(r);
  return utf16leToUtf8(r.take(r.remaining()));
}

std::vector<RpcRequest> parseRpc(std::string_view payload) {
  ByteReader r(payload);
  skipAllHeaders(r);
  std::vector<RpcRequest> out;
  for (;;) {
    RpcRequest req;
    const std::uint16_t nameLength = r.u16le();
    if (nameLength == 0xFFFF) {
      req.procedure = wellKnownProcedure(r.u16le());
    } else {
      req.procedure = lowerText(utf16leToUtf8(r.take(static_cast<std::size_t>(nameLength) * 2)));
    }
    r.u16le();  // option flags
    while (!r.atEnd()) {
      const auto next = static_cast<std::uint8_t>(r.whole()[r.position()]);
      if (next == 0x80 || next == 0xFF || next == 0xFE) break;
      if (req.parameters.size() > 2100) throw ProtocolError("too many parameters");
      req.parameters.push_back(readParameter(r));
    }
    out.push_back(std::move(req));
    if (r.atEnd()) return out;
    r.u8();  // batch separator
    if (r.atEnd()) return out;
  }
}

}  // namespace standin
