// Benchmark (not a test): a one-row parameterised select through our ODBC layer against the stand-in, and on SQLite directly.
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "core/db/connection.h"
#include "core/db/statement.h"
#include "tests/support/standin_server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kSeconds = 2.0;

// Runs the select on its own connection for the time given; returns the count done.
long selectsFor(const dorvik::test::StandinServer& server, double seconds) {
  dorvik::db::Connection c;
  c.open(server.connectionString("vorlak"), 10);
  dorvik::db::Statement q(c);
  long n = 0;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end) {
    q.setSql("select userid from users where uzivatel=:puzivatel");
    q.setText("puzivatel", n % 2 ? "Jana" : "Petr");
    q.execute();
    if (!q.next()) throw std::runtime_error("no row");
    ++n;
  }
  return n;
}

}  // namespace

int main() {
  dorvik::test::StandinServer server;
  dorvik::test::runScript(server, "vorlak",
                          "create table users (userid int identity(1,1) primary key, uzivatel nvarchar(50), email nvarchar(200))\n"
                          "go\ninsert into users (uzivatel, email) values (N'Jana', N'jana@x.cz'), (N'Petr', N'petr@x.cz')\n");

  const long one = selectsFor(server, kSeconds);
  std::printf("stand-in, 1 connection : %8.0f selects/s, round trip %.1f us\n", static_cast<double>(one) / kSeconds, kSeconds * 1e6 / static_cast<double>(one));

  std::atomic<long> total{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back([&] { total += selectsFor(server, kSeconds); });
  for (auto& t : threads) t.join();
  std::printf("stand-in, 4 connections: %8.0f selects/s\n", static_cast<double>(total.load()) / kSeconds);

  // The same select straight on a SQLite copy of the table.
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  sqlite3_exec(db, "create table users (userid int primary key, uzivatel text, email text);"
                   "insert into users values (1,'Jana','jana@x.cz'),(2,'Petr','petr@x.cz')",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "select userid from users where uzivatel=?1", -1, &s, nullptr);
  long n = 0;
  const auto end = Clock::now() + std::chrono::duration<double>(kSeconds);
  while (Clock::now() < end) {
    sqlite3_bind_text(s, 1, n % 2 ? "Jana" : "Petr", -1, SQLITE_STATIC);
    if (sqlite3_step(s) != SQLITE_ROW) return 1;
    sqlite3_reset(s);
    ++n;
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  std::printf("SQLite directly         : %8.0f selects/s, %.2f us each\n", static_cast<double>(n) / kSeconds, kSeconds * 1e6 / static_cast<double>(n));
  return 0;
}
