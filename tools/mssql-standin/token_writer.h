// Builds the tokens of a tabular-result message: LOGINACK, ENVCHANGE, ERROR/INFO, COLMETADATA, ROW, DONE.
#pragma once
#include <cstdint>
#include <string>

#include "byte_io.h"
#include "result_set.h"
#include "sql_error.h"

namespace standin {

// The collation of the server and its databases: Latin1_General, case-insensitive,
// accent-sensitive, sort order 52 (code page 1252): LCID 0x0409 with flags, then sort id.
inline constexpr char kCollation[5] = {0x09, 0x04, static_cast<char>(0xD0), 0x00, 0x34};

enum DoneStatus : std::uint16_t { kDoneFinal = 0x00, kDoneMore = 0x01, kDoneError = 0x02, kDoneCount = 0x10, kDoneAttention = 0x20 };
enum DoneToken : std::uint8_t { kDone = 0xFD, kDoneProc = 0xFE, kDoneInProc = 0xFF };

class TokenWriter {
 public:
  explicit TokenWriter(std::string serverName) : serverName_(std::move(serverName)) {}
  std::string& bytes() { return w_.bytes(); }
  bool empty() const { return w_.bytes().empty(); }
  std::string take() {
    std::string out = std::move(w_.bytes());
    w_.bytes().clear();
    lastDone_ = std::string::npos;
    return out;
  }

  void loginAck(const std::string& programName);
  void envChange(std::uint8_t type, const std::string& newValue, const std::string& oldValue);
  void envChangeCollation();
  void error(const SqlError& e) { message(0xAA, e.number(), e.state(), e.severity(), e.what()); }
  void info(std::int32_t number, std::uint8_t state, const std::string& text) { message(0xAB, number, state, 0, text); }
  void done(std::uint8_t token, std::uint16_t status, std::uint16_t command, std::uint64_t rows);
  void returnStatus(std::int32_t value);
  // Ends a SQL batch: the last DONE loses its MORE flag, or a final DONE is written if there was none.
  void finishBatch();
  void resultSet(const ResultSet& rs);

 private:
  void message(std::uint8_t token, std::int32_t number, std::uint8_t state, std::uint8_t severity, const std::string& text);
  void bVarchar(const std::string& utf8);   // u8 length in characters + UTF-16LE
  void usVarchar(const std::string& utf8);  // u16 length in characters + UTF-16LE
  void typeInfo(const SqlType& t);
  void value(const SqlType& t, const Cell& c);

  std::string serverName_;
  ByteWriter w_;
  std::size_t lastDone_ = std::string::npos;
};

}  // namespace standin
