// TDS packet framing: reading a whole message from a socket and writing one as packets.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace standin {

// Packet types a client sends.
enum class PacketType : std::uint8_t {
  SqlBatch = 0x01,
  Rpc = 0x03,
  TabularResult = 0x04,
  Attention = 0x06,
  TransactionManager = 0x0E,
  Login7 = 0x10,
  PreLogin = 0x12,
};

struct Message {
  std::uint8_t type = 0;
  std::string payload;
};

// Largest message accepted; a client announcing more is cut off.
constexpr std::size_t kMaxMessageBytes = 64u * 1024u * 1024u;

// Reads packets up to the one marked end-of-message. nullopt when the peer
// closed the connection before a new message began. Throws ProtocolError for
// a malformed header, a type change inside a message or an oversized message.
std::optional<Message> readMessage(int fd, std::size_t maxPacketSize);

// Parses messages out of a byte buffer, for tests; same checks as readMessage.
// Consumes the bytes of one complete message; nullopt if more bytes are needed.
std::optional<Message> parseMessage(std::string& buffer, std::size_t maxPacketSize);

// Writes payload as packets of at most packetSize bytes; false if the peer is gone.
bool writeMessage(int fd, std::uint8_t type, const std::string& payload, std::size_t packetSize);

}  // namespace standin
