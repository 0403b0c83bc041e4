// Bounded random-input tests: hostile messages and random T-SQL must end in an error or a closed connection, never a crash.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "catalog.h"
#include "core/db/connection.h"
#include "core/db/statement.h"
#include "packet.h"
#include "prelogin.h"
#include "session.h"
#include "test_messages.h"
#include "tests/support/standin_server.h"

namespace standin {
namespace {

using namespace standin::testing;

// Seconds each random run lasts; STANDIN_FUZZ_SECONDS makes a longer run by hand.
double budgetSeconds(double standard) {
  const char* v = std::getenv("STANDIN_FUZZ_SECONDS");
  return v != nullptr ? std::atof(v) : standard;
}

class Mutator {
 public:
  explicit Mutator(std::uint32_t seed) : rng_(seed) {}
  std::size_t below(std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  std::string bytes(std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(below(256));
    return s;
  }
  // Flips, truncates, inserts or overwrites bytes of a valid message.
  std::string mutate(std::string s) {
    const std::size_t edits = 1 + below(4);
    for (std::size_t e = 0; e < edits && !s.empty(); ++e) {
      switch (below(5)) {
        case 0: s[below(s.size())] ^= static_cast<char>(1u << below(8)); break;
        case 1: s.resize(below(s.size())); break;
        case 2: s.insert(below(s.size() + 1), bytes(1 + below(8))); break;
        case 3: s[below(s.size())] = static_cast<char>(below(2) ? 0xFF : 0x00); break;
        default: {
          const std::size_t at = below(s.size());
          s.replace(at, std::min<std::size_t>(4, s.size() - at), bytes(4));
        }
      }
    }
    return s;
  }
  std::string randomSql() {
    static const char* const kWords[] = {
        "select", "insert", "into", "values", "update", "set", "delete", "from", "where", "(", ")", ",", "*", "=", "+", "-", "/",
        "<", ">=", "<>", "t", "a", "b", "'x'", "N'ř '", "1", "0", "2.5", "1e309", "99999999999999999999", "@P1", "@@spid",
        "@@identity", "getdate()", "datepart", "minute", "case", "when", "then", "else", "end", "null", "is", "and", "or",
        "not", "in", "like", "between", "top", "order", "by", "group", "having", "count(*)", "create", "table", "view", "as",
        "int", "nvarchar", "(max)", "(5)", "identity", "primary", "key", "default", "use", "master", "backup", "database", "to",
        "disk", "with", "init", "output", "inserted", ".", ";", "cast", "convert", "exists", "union", "all", "distinct",
        "ident_current('t')", "scope_identity()", "len", "sys.databases", "INFORMATION_SCHEMA.TABLES", "[a]", "\"b\"", "drop",
        "begin", "tran", "commit", "rollback", "SET", "NOCOUNT", "ON", "dateadd", "datediff", "day", "char(13)", "'", "--", "/*"};
    std::string sql;
    const std::size_t n = 1 + below(20);
    for (std::size_t i = 0; i < n; ++i) sql += std::string(kWords[below(std::size(kWords))]) + " ";
    return sql;
  }

 private:
  std::mt19937 rng_;
};

class MalformedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("standin-fuzz-" + std::to_string(::getpid()));
    catalog_ = std::make_unique<Catalog>(folder_);
    catalog_->create("vorlak");
    settings_.identity.serverName = "FUZZ";
    settings_.logins = {{"sa", "Heslo1"}};
  }
  void TearDown() override {
    catalog_.reset();
    std::filesystem::remove_all(folder_);
  }
  std::unique_ptr<SessionCore> loggedIn() {
    auto core = std::make_unique<SessionCore>(*catalog_, settings_, 60);
    core->handle(static_cast<std::uint8_t>(PacketType::Login7), login7("sa", "Heslo1", "vorlak"));
    return core;
  }
  std::filesystem::path folder_;
  std::unique_ptr<Catalog> catalog_;
  ServerSettings settings_;
};

// Every message either gets an answer or a ProtocolError/SqlError that closes
// the connection; anything else (a crash, another exception type) fails.
TEST_F(MalformedInput, RandomAndMutatedMessagesNeverEscapeAsCrashes) {
  Mutator m(20261211);
  auto core = loggedIn();
  core->handle(static_cast<std::uint8_t>(PacketType::SqlBatch), sqlBatch("create table t (a int, b nvarchar(5))"));
  const std::string seeds[] = {
      sqlBatch("select a, b from t where a = 1"),
      executeSql("insert into t values (@P1, @P2)", "@P1 int,@P2 nvarchar(4000)", {intParam("@P1", 1), nvarcharParam("@P2", "abc")}),
      executeSql("select @P1", "@P1 datetime", {datetimeParam("@P1", 45000, 300)}),
  };
  const std::uint8_t types[] = {0x01, 0x03, 0x06, 0x0E, 0x10, 0x12, 0x07, 0x42};
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(budgetSeconds(1.0));
  std::size_t messages = 0, refused = 0;
  while (std::chrono::steady_clock::now() < end) {
    ++messages;
    const std::uint8_t type = m.below(4) == 0 ? types[m.below(std::size(types))] : (m.below(2) ? 0x01 : 0x03);
    std::string payload;
    switch (m.below(3)) {
      case 0: payload = m.bytes(m.below(300)); break;
      case 1: payload = m.mutate(seeds[m.below(std::size(seeds))]); break;
      default: payload = type == 0x03 ? executeSql(m.randomSql(), "@P1 int", {intParam("@P1", 2)}) : sqlBatch(m.randomSql());
    }
    try {
      core->handle(type, payload);
    } catch (const ProtocolError&) {
      ++refused;
      core = loggedIn();  // the server would close this connection; go on with a new one
    } catch (const SqlError&) {
      ++refused;
      core = loggedIn();
    }
  }
  // Logins and prelogins before login get the same treatment.
  for (int i = 0; i < 2000; ++i) {
    SessionCore fresh(*catalog_, settings_, 61);
    const std::string seed = i % 2 ? login7("sa", "Heslo1", "vorlak") : preLoginResponse();
    try {
      fresh.handle(i % 2 ? 0x10 : 0x12, m.mutate(seed));
    } catch (const ProtocolError&) {
    } catch (const SqlError&) {
    }
  }
  RecordProperty("messages", static_cast<int>(messages));
  std::printf("random messages: %zu handled, %zu refused by closing the connection\n", messages, refused);
  EXPECT_GT(messages, 100u);
}

// Over TCP: garbage on some connections closes just those; a client connected
// all along and a new one are served afterwards.
TEST(MalformedConnections, GarbageClosesOnlyItsOwnConnection) {
  dorvik::test::StandinServer server;
  dorvik::db::Connection steady;
  steady.open(server.connectionString("vorlak"), 10);
  Mutator m(7);
  const std::string seeds[] = {packets(0x12, preLoginResponse()), packets(0x10, login7("sa", "Heslo1", "vorlak")),
                               packets(0x12, preLoginResponse()) + packets(0x10, login7("sa", "Heslo1", "vorlak")) +
                                   packets(0x01, sqlBatch("select 1"))};
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(budgetSeconds(1.0));
  int connections = 0;
  while (std::chrono::steady_clock::now() < end) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(server.port()));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const std::string wire = m.below(3) == 0 ? m.bytes(1 + m.below(2000)) : m.mutate(seeds[m.below(std::size(seeds))]);
    [[maybe_unused]] const auto sent = ::send(fd, wire.data(), wire.size(), MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_WR);  // a half-sent packet must not keep the server waiting
    char buf[4096];
    while (::recv(fd, buf, sizeof buf, 0) > 0) {
    }
    ::close(fd);
    ++connections;
  }
  std::printf("hostile connections: %d\n", connections);
  dorvik::db::Statement q(steady);
  q.execute("select @@spid");
  EXPECT_TRUE(q.next());
  dorvik::db::Connection fresh;
  fresh.open(server.connectionString("vorlak"), 10);
  EXPECT_TRUE(fresh.isOpen());
}

}  // namespace
}  // namespace standin
