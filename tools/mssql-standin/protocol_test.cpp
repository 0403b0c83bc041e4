// Unit tests of the message readers: packet framing, PRELOGIN, LOGIN7, RPC parameters, and the login outcome.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "byte_io.h"
#include "catalog.h"
#include "login7.h"
#include "packet.h"
#include "prelogin.h"
#include "rpc_reader.h"
#include "session.h"
#include "sql_error.h"
#include "test_messages.h"

namespace standin {
namespace {

using namespace standin::testing;

TEST(PacketFraming, JoinsPacketsUpToEndOfMessage) {
  const std::string payload(10000, 'x');
  std::string wire = packets(0x01, payload, 4096) + packets(0x06, "");
  auto first = parseMessage(wire, 4096);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->type, 0x01);
  EXPECT_EQ(first->payload, payload);
  auto second = parseMessage(wire, 4096);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->type, 0x06);
  EXPECT_TRUE(wire.empty());
}

TEST(PacketFraming, WaitsForMissingBytesAndRejectsBadHeaders) {
  std::string partial = packets(0x01, "abc").substr(0, 9);
  EXPECT_FALSE(parseMessage(partial, 4096));
  struct Case {
    const char* what;
    std::string wire;
  } cases[] = {
      {"length below header", std::string("\x01\x01\x00\x04\x00\x00\x01\x00", 8)},
      {"length above packet size", std::string("\x01\x01\x7F\xFF\x00\x00\x01\x00", 8)},
      {"type change inside a message", std::string("\x01\x00\x00\x09\x00\x00\x01\x00x\x03\x01\x00\x09\x00\x00\x01\x00y", 18)},
  };
  for (Case& c : cases) EXPECT_THROW(parseMessage(c.wire, 4096), ProtocolError) << c.what;
}

TEST(PreLogin, AnswersEncryptionNotSupported) {
  const PreLoginRequest req = parsePreLogin(preLoginResponse());
  EXPECT_EQ(req.encryption, 2);
  EXPECT_FALSE(req.mars);
  EXPECT_THROW(parsePreLogin(std::string("\x00\x00\x40\x00\x06\xFF", 6)), ProtocolError);
  EXPECT_THROW(parsePreLogin(std::string("\x01\x00", 2)), ProtocolError);
}

TEST(Login7, ReadsFieldsAndUnscramblesThePassword) {
  const Login7 l = parseLogin7(login7("sa", "Heslo čř1", "vorlak", 8192));
  EXPECT_EQ(l.userName, "sa");
  EXPECT_EQ(l.password, "Heslo čř1");
  EXPECT_EQ(l.database, "vorlak");
  EXPECT_EQ(l.packetSize, 8192u);
  std::string broken = login7("sa", "x", "vorlak");
  broken[36 + 4 * 8 + 1] = '\x7F';  // database offset far outside the record
  EXPECT_THROW(parseLogin7(broken), ProtocolError);
  EXPECT_THROW(parseLogin7(broken.substr(0, 50)), ProtocolError);
}

TEST(Rpc, DecodesExecuteSqlWithTypedParameters) {
  const auto requests = parseRpc(executeSql("select :a", "@P1 int,@P2 int,@P3 datetime,@P4 nvarchar(4000)",
                                            {intParam("@P1", -7), intParam("@P2", 0, true), datetimeParam("@P3", 45417, 25920000 / 2),
                                             nvarcharParam("@P4", "žluťoučký")}));
  ASSERT_EQ(requests.size(), 1u);
  const RpcRequest& r = requests[0];
  EXPECT_EQ(r.procedure, "sp_executesql");
  ASSERT_EQ(r.parameters.size(), 6u);
  EXPECT_EQ(r.parameters[0].value.text, "select :a");
  EXPECT_EQ(r.parameters[2].name, "@P1");
  EXPECT_EQ(r.parameters[2].value.integer, -7);
  EXPECT_EQ(r.parameters[2].type.base, SqlType::Base::Int);
  EXPECT_EQ(r.parameters[3].value.kind, Cell::Kind::Null);
  EXPECT_DOUBLE_EQ(r.parameters[4].value.real, 45417.5);
  EXPECT_EQ(r.parameters[5].value.text, "žluťoučký");
  EXPECT_EQ(r.parameters[5].type.length, 4000);
}

TEST(Rpc, RejectsTruncatedAndUnknownParameters) {
  const std::string good = executeSql("select 1", "@P1 int", {intParam("@P1", 5)});
  // A cut between two parameters leaves a valid, shorter request; any other cut must be refused.
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    try {
      EXPECT_LT(parseRpc(good.substr(0, cut))[0].parameters.size(), 3u) << "cut at " << cut;
    } catch (const ProtocolError&) {
    }
  }
  std::string unknownType = good;
  unknownType[unknownType.size() - 7] = '\x99';  // the INTN type byte of @P1
  EXPECT_THROW(parseRpc(unknownType), ProtocolError);
}

class LoginOutcome : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("standin-unit-" + std::to_string(::getpid()));
    catalog_ = std::make_unique<Catalog>(folder_);
    catalog_->create("vorlak");
    settings_.identity.serverName = "UNIT";
    settings_.logins = {{"sa", "Heslo1"}};
  }
  void TearDown() override {
    catalog_.reset();
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
  std::unique_ptr<Catalog> catalog_;
  ServerSettings settings_;
};

// The response's ERROR tokens are found by their message text in UTF-16.
bool mentions(const std::string& response, const std::string& text) { return response.find(utf8ToUtf16le(text)) != std::string::npos; }

TEST_F(LoginOutcome, AcceptsOrRefusesWithServerErrors) {
  struct Case {
    std::string user, password, database;
    bool accepted;
    std::vector<std::string> messages;
  } cases[] = {
      {"sa", "Heslo1", "vorlak", true, {"Changed database context to 'vorlak'."}},
      {"SA", "Heslo1", "", true, {"Changed database context to 'master'."}},
      {"sa", "heslo1", "vorlak", false, {"Login failed for user 'sa'."}},
      {"nikdo", "Heslo1", "vorlak", false, {"Login failed for user 'nikdo'."}},
      {"sa", "Heslo1", "neni", false, {"Cannot open database \"neni\" requested by the login. The login failed.", "Login failed for user 'sa'."}},
  };
  for (const Case& c : cases) {
    SessionCore core(*catalog_, settings_, 51);
    core.handle(static_cast<std::uint8_t>(PacketType::PreLogin), preLoginResponse());
    const std::string response = core.handle(static_cast<std::uint8_t>(PacketType::Login7), login7(c.user, c.password, c.database));
    EXPECT_EQ(core.loggedIn(), c.accepted) << c.user << "/" << c.password << "/" << c.database;
    EXPECT_EQ(core.closing(), !c.accepted);
    for (const std::string& m : c.messages) EXPECT_TRUE(mentions(response, m)) << m;
  }
}

TEST_F(LoginOutcome, AttentionIsAcknowledgedWithADoneToken) {
  SessionCore core(*catalog_, settings_, 51);
  core.handle(static_cast<std::uint8_t>(PacketType::Login7), login7("sa", "Heslo1", "vorlak"));
  // DONE, status ATTN (0x0020), command 0, row count 0.
  EXPECT_EQ(core.handle(static_cast<std::uint8_t>(PacketType::Attention), ""),
            std::string("\xFD\x20\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 13));
}

TEST_F(LoginOutcome, NothingButLoginBeforeLogin) {
  SessionCore core(*catalog_, settings_, 51);
  EXPECT_THROW(core.handle(static_cast<std::uint8_t>(PacketType::SqlBatch), sqlBatch("select 1")), ProtocolError);
}

}  // namespace
}  // namespace standin
