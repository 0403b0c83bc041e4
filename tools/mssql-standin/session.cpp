// The per-connection protocol state machine.
#include "session.h"

#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cstdio>

#include "login7.h"
#include "packet.h"
#include "prelogin.h"
#include "rpc_reader.h"
#include "sql_error.h"
#include "text.h"
#include "token_writer.h"

namespace standin {

SessionCore::SessionCore(Catalog& catalog, const ServerSettings& settings, int spid)
    : catalog_(catalog), settings_(settings), executor_(catalog, settings.identity, spid) {}

std::string SessionCore::handle(std::uint8_t type, const std::string& payload) {
  if (!loggedIn_) {
    if (type == static_cast<std::uint8_t>(PacketType::PreLogin) && !preLoginSeen_) {
      preLoginSeen_ = true;
      parsePreLogin(payload);
      return preLoginResponse();
    }
    if (type == static_cast<std::uint8_t>(PacketType::Login7)) return login(payload);
    throw ProtocolError("expected PRELOGIN or LOGIN7");
  }
  TokenWriter w(settings_.identity.serverName);
  switch (static_cast<PacketType>(type)) {
    case PacketType::SqlBatch:
      executor_.runBatch(parseSqlBatch(payload), w, false);
      w.finishBatch();
      return w.take();
    case PacketType::Rpc: return rpc(payload);
    case PacketType::Attention:
      // Requests run to completion before the next message is read, so there is nothing left to cancel.
      w.done(kDone, kDoneAttention, 0, 0);
      return w.take();
    case PacketType::TransactionManager:
      w.error(SqlError(8524, 16, 1, "Distributed and explicit transaction manager requests are not supported by this server."));
      w.done(kDone, kDoneError, 0, 0);
      return w.take();
    default: throw ProtocolError("unexpected message type");
  }
}

std::string SessionCore::login(const std::string& payload) {
  const Login7 l = parseLogin7(payload);
  TokenWriter w(settings_.identity.serverName);
  auto refuse = [&](std::vector<SqlError> errors) {
    for (const SqlError& e : errors) w.error(e);
    w.done(kDone, kDoneError, 0, 0);
    closing_ = true;
    return w.take();
  };
  const SqlError loginFailed(18456, 14, 1, "Login failed for user '" + l.userName + "'.");
  if (!settings_.logins.empty()) {
    bool ok = false;
    for (const auto& [name, password] : settings_.logins) {
      // Login names compare without regard to case; passwords exactly.
      if (lowerText(name) == lowerText(l.userName) && password == l.password) ok = true;
    }
    if (!ok) return refuse({loginFailed});
  }
  const std::string wanted = l.database.empty() ? "master" : l.database;
  try {
    executor_.useDatabase(wanted);
  } catch (const SqlError&) {
    return refuse({SqlError(4060, 11, 1, "Cannot open database \"" + wanted + "\" requested by the login. The login failed."), loginFailed});
  }
  packetSize_ = l.packetSize == 0 ? 4096 : std::clamp<std::size_t>(l.packetSize, 512, 32767);
  w.envChange(1, executor_.database(), "master");
  w.info(5701, 2, "Changed database context to '" + executor_.database() + "'.");
  w.envChangeCollation();
  w.envChange(2, "us_english", "");
  w.info(5703, 1, "Changed language setting to us_english.");
  w.loginAck("mssql-standin");
  w.envChange(4, std::to_string(packetSize_), std::to_string(packetSize_));
  w.done(kDone, kDoneFinal, 0, 0);
  loggedIn_ = true;
  return w.take();
}

std::string SessionCore::rpc(const std::string& payload) {
  TokenWriter w(settings_.identity.serverName);
  const std::vector<RpcRequest> requests = parseRpc(payload);
  for (const RpcRequest& r : requests) {
    bool ok = true;
    std::string returnValues;  // RETURNVALUE tokens follow RETURNSTATUS
    auto textParam = [&](std::size_t i) -> std::string {
      if (i >= r.parameters.size() || r.parameters[i].value.kind != Cell::Kind::Text) return {};
      return r.parameters[i].value.text;
    };
    auto values = [&](std::size_t from) {
      std::vector<RpcParameter> out(r.parameters.begin() + static_cast<long>(std::min(from, r.parameters.size())), r.parameters.end());
      for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i].name.empty()) out[i].name = "@P" + std::to_string(i + 1);
      }
      return out;
    };
    if (r.procedure == "sp_executesql") {
      if (r.parameters.empty() || r.parameters[0].value.kind != Cell::Kind::Text) {
        w.error(SqlError(214, 16, 2, "Procedure expects parameter '@statement' of type 'ntext/nchar/nvarchar'."));
        ok = false;
      } else {
        ok = executor_.runBatch(textParam(0), w, true, values(2));
      }
    } else if (r.procedure == "sp_prepexec" || r.procedure == "sp_prepare") {
      // Parameters: @handle output, @params, @stmt, then the values (sp_prepexec).
      prepared_.emplace_back(textParam(1), textParam(2));
      const auto handle = static_cast<std::int32_t>(prepared_.size());
      if (r.procedure == "sp_prepexec") ok = executor_.runBatch(textParam(2), w, true, values(3));
      // The handle goes back as the value of the output parameter: RETURNVALUE 0xAC.
      ByteWriter rv;
      rv.u8(0xAC);
      rv.u16le(0);
      const std::string name = utf8ToUtf16le(r.parameters.empty() ? std::string("@handle") : r.parameters[0].name);
      rv.u8(static_cast<std::uint8_t>(name.size() / 2));
      rv.raw(name);
      rv.u8(1);
      rv.u32le(0);
      rv.u16le(0);
      rv.u8(0x26);
      rv.u8(4);
      rv.u8(4);
      rv.u32le(static_cast<std::uint32_t>(handle));
      returnValues = rv.bytes();
    } else if (r.procedure == "sp_execute") {
      const std::size_t index = !r.parameters.empty() && r.parameters[0].value.kind == Cell::Kind::Integer
                                    ? static_cast<std::size_t>(r.parameters[0].value.integer)
                                    : 0;
      if (index == 0 || index > prepared_.size()) {
        w.error(SqlError(8179, 16, 2, "Could not find prepared statement with handle " + std::to_string(index) + "."));
        ok = false;
      } else {
        ok = executor_.runBatch(prepared_[index - 1].second, w, true, values(1));
      }
    } else if (r.procedure == "sp_unprepare") {
    } else {
      w.error(SqlError(2812, 16, 62, "Could not find stored procedure '" + r.procedure + "'."));
      ok = false;
    }
    w.returnStatus(ok ? 0 : 1);
    w.bytes() += returnValues;
    w.done(kDoneProc, static_cast<std::uint16_t>(ok ? kDoneFinal : kDoneError), 0, 0);
  }
  return w.take();
}

void serveConnection(int fd, Catalog& catalog, const ServerSettings& settings, int spid) {
  try {
    SessionCore core(catalog, settings, spid);
    for (;;) {
      // Before login a client may send only small messages.
      const std::size_t limit = core.loggedIn() ? 32768 : 8192;
      auto message = readMessage(fd, limit);
      if (!message) return;
      const bool wasLoggedIn = core.loggedIn();
      const std::string reply = core.handle(message->type, message->payload);
      if (!wasLoggedIn && core.loggedIn()) {
        const timeval none{0, 0};  // a logged-in client may stay idle between requests
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &none, sizeof none);
      }
      if (!reply.empty() && !writeMessage(fd, static_cast<std::uint8_t>(PacketType::TabularResult), reply, core.packetSize())) return;
      if (core.closing()) return;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "connection %d closed: %s\n", spid, e.what());
  }
}

}  // namespace standin
