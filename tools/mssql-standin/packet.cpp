// Packet framing of TDS messages.
//
// Every packet starts with an 8-byte header:
//   byte 0     type (PacketType)
//   byte 1     status: bit 0 set on the last packet of a message (EOM)
//   bytes 2-3  length of the packet including the header, big-endian
//   bytes 4-5  server process id, big-endian (we send 0)
//   byte 6     packet number, wrapping at 256
//   byte 7     window, always 0
#include "packet.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "sql_error.h"

namespace standin {
namespace {

constexpr std::size_t kHeader = 8;

// Reads exactly n bytes; false on a clean end of stream before the first byte.
bool readExact(int fd, char* out, std::size_t n, bool allowEof) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::recv(fd, out + got, n - got, 0);
    if (r == 0) {
      if (got == 0 && allowEof) return false;
      throw ProtocolError("connection closed inside a packet");
    }
    if (r < 0) {
      if (errno == EINTR) continue;
      if (got == 0 && allowEof) return false;
      throw ProtocolError("receive failed");
    }
    got += static_cast<std::size_t>(r);
  }
  return true;
}

struct Header {
  std::uint8_t type;
  bool last;
  std::size_t length;
};

Header parseHeader(const char* h, std::size_t maxPacketSize) {
  Header out{static_cast<std::uint8_t>(h[0]), (static_cast<std::uint8_t>(h[1]) & 0x01) != 0,
             (static_cast<std::size_t>(static_cast<std::uint8_t>(h[2])) << 8) | static_cast<std::uint8_t>(h[3])};
  if (out.length < kHeader) throw ProtocolError("packet length below header size");
  if (out.length > maxPacketSize) throw ProtocolError("packet larger than the negotiated size");
  return out;
}

}  // namespace

std::optional<Message> readMessage(int fd, std::size_t maxPacketSize) {
  Message m;
  bool first = true;
  for (;;) {
    char h[kHeader];
    if (!readExact(fd, h, kHeader, first)) return std::nullopt;
    const Header hd = parseHeader(h, maxPacketSize);
    if (first) m.type = hd.type;
    else if (hd.type != m.type) throw ProtocolError("packet type changed inside a message");
    first = false;
    const std::size_t body = hd.length - kHeader;
    if (m.payload.size() + body > kMaxMessageBytes) throw ProtocolError("message too large");
    const std::size_t at = m.payload.size();
    m.payload.resize(at + body);
    if (body > 0) readExact(fd, m.payload.data() + at, body, false);
    if (hd.last) return m;
  }
}

std::optional<Message> parseMessage(std::string& buffer, std::size_t maxPacketSize) {
  Message m;
  std::size_t at = 0;
  bool first = true;
  for (;;) {
    if (buffer.size() - at < kHeader) return std::nullopt;
    const Header hd = parseHeader(buffer.data() + at, maxPacketSize);
    if (first) m.type = hd.type;
    else if (hd.type != m.type) throw ProtocolError("packet type changed inside a message");
    first = false;
    if (buffer.size() - at < hd.length) return std::nullopt;
    if (m.payload.size() + hd.length - kHeader > kMaxMessageBytes) throw ProtocolError("message too large");
    m.payload.append(buffer, at + kHeader, hd.length - kHeader);
    at += hd.length;
    if (hd.last) {
      buffer.erase(0, at);
      return m;
    }
  }
}

bool writeMessage(int fd, std::uint8_t type, const std::string& payload, std::size_t packetSize) {
  const std::size_t chunk = packetSize - kHeader;
  std::size_t offset = 0;
  std::uint8_t number = 1;
  std::string packet;
  do {
    const std::size_t n = std::min(chunk, payload.size() - offset);
    const bool last = offset + n == payload.size();
    const std::size_t len = n + kHeader;
    packet.assign({static_cast<char>(type), static_cast<char>(last ? 1 : 0), static_cast<char>(len >> 8),
                   static_cast<char>(len & 0xFF), 0, 0, static_cast<char>(number++), 0});
    packet.append(payload, offset, n);
    offset += n;
    std::size_t sent = 0;
    while (sent < packet.size()) {
      const ssize_t w = ::send(fd, packet.data() + sent, packet.size() - sent, MSG_NOSIGNAL);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      sent += static_cast<std::size_t>(w);
    }
  } while (offset < payload.size());
  return true;
}

}  // namespace standin
