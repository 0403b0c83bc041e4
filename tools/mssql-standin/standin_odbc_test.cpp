// The stand-in through the real client stack: our ODBC layer, unixODBC and FreeTDS, against a server started per fixture.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <thread>

#include "core/db/connection.h"
#include "core/db/odbc_error.h"
#include "core/db/statement.h"
#include "tests/support/host_database.h"
#include "tests/support/standin_server.h"

namespace {

using dorvik::DateTime;
using dorvik::db::Connection;
using dorvik::db::DatabaseError;
using dorvik::db::SqlType;
using dorvik::db::Statement;
using dorvik::test::StandinServer;
using ::testing::HasSubstr;

const char* const kUlohy =
    "create table ulohy (id int identity(1,1) PRIMARY key,druh nvarchar(4000),zprava nvarchar(4000),uzivatele nvarchar(4000),kam nvarchar(4000),\r\n"
    "doemailu bit default 1 not null,dochatu bit default 1 not null,dni int,cas datetime,zalozeno datetime,platnostdo datetime,aktivni bit default 0 not null)";

class StandinOdbc : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StandinServer::Options o;
    o.clock = "2024-05-06 08:10:00";
    o.databases = {"vorlak", "druha"};
    server_ = std::make_unique<StandinServer>(o);  // shared by the suite
  }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override { db_.open(server_->connectionString("vorlak"), 10); }

  // Runs a statement and returns the first column of every row as text.
  std::vector<std::string> column(const std::string& sql) {
    Statement q(db_);
    q.execute(sql);
    std::vector<std::string> out;
    while (q.next()) out.push_back(q.field(0).asText());
    return out;
  }
  // The error text of a statement that must fail.
  std::string failure(const std::string& sql) {
    Statement q(db_);
    try {
      q.execute(sql);
      while (q.next()) {
      }
    } catch (const DatabaseError& e) {
      return e.what();
    }
    return "(no error)";
  }

  static std::unique_ptr<StandinServer> server_;
  Connection db_;
};
std::unique_ptr<StandinServer> StandinOdbc::server_;

TEST_F(StandinOdbc, ConnectionTestQueryNamesServerAndDatabase) {
  Statement q(db_);
  q.execute("select @@servername+char(13)+@@version");
  ASSERT_TRUE(q.next());
  EXPECT_THAT(q.field(0).asText(), ::testing::StartsWith("STANDIN\r"));
  EXPECT_EQ(db_.databaseName(), "vorlak");
}

// SQLPrepare and SQLExecute make the driver use sp_prepexec, then sp_execute with the handle the server gave.
TEST_F(StandinOdbc, PreparedStatementsRunAgainWithNewParameters) {
  SQLHSTMT raw = SQL_NULL_HSTMT;
  ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(db_.nativeHandle()), &raw)));
  std::unique_ptr<void, void (*)(void*)> owner(raw, [](void* h) { SQLFreeHandle(SQL_HANDLE_STMT, h); });
  SQLCHAR sql[] = "select ? * 2";
  ASSERT_TRUE(SQL_SUCCEEDED(SQLPrepare(raw, sql, SQL_NTS)));
  SQLINTEGER in = 0, out = 0;
  SQLLEN inLength = 0, outLength = 0;
  ASSERT_TRUE(SQL_SUCCEEDED(SQLBindParameter(raw, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &in, 0, &inLength)));
  for (SQLINTEGER v : {21, -4}) {
    in = v;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecute(raw)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(raw)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLGetData(raw, 1, SQL_C_SLONG, &out, 0, &outLength)));
    EXPECT_EQ(out, v * 2);
    SQLCloseCursor(raw);
  }
}

TEST_F(StandinOdbc, RefusedLoginsCarryServerMessages) {
  struct Case {
    std::string database, password, expected;
  } cases[] = {
      {"vorlak", "wrong", "Login failed for user 'sa'."},
      {"nenijetu", "Heslo1", "Cannot open database \"nenijetu\" requested by the login. The login failed."},
  };
  for (const Case& c : cases) {
    Connection other;
    try {
      other.open(server_->connectionString(c.database, "sa", c.password), 10);
      ADD_FAILURE() << "login accepted for " << c.database << "/" << c.password;
    } catch (const DatabaseError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.expected));
    }
  }
}

TEST_F(StandinOdbc, AgentTablesAndTaskRowsRoundTrip) {
  Statement s(db_);
  s.execute("create table chat(id int identity(1,1) PRIMARY KEY,idzpravy int,idodkoho int,idkomu int)");
  s.execute("create table zpravychat(idzprava int identity(1,1) PRIMARY KEY,zprava nvarchar(4000),odeslano datetime,platnostod datetime,platnostdo datetime)");
  s.execute(kUlohy);
  s.execute("create table historieagent (id int identity(1,1) primary key,idulohy int,kdy datetime,komu nvarchar(4000),co nvarchar(4000),kam nvarchar(4000))");
  EXPECT_EQ(column("select count(*) from INFORMATION_SCHEMA.TABLES where TABLE_NAME='ulohy'"), std::vector<std::string>{"1"});
  EXPECT_EQ(column("select count(*) from INFORMATION_SCHEMA.TABLES where TABLE_NAME='nic'"), std::vector<std::string>{"0"});
  EXPECT_THAT(failure(kUlohy), HasSubstr("There is already an object named 'ulohy' in the database."));

  s.setSql(
      "insert into ulohy (druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,zalozeno,platnostdo,aktivni) values "
      "(:pdruh,:pzprava,:puzivatele,:pkam,:pdoemailu,:pdochatu,:pdni,:pcas,:pzalozeno,:pplatnostdo,:paktivni)");
  s.setText("pdruh", "zakazka");
  s.setText("pzprava", "Zakázka [cislozakazky] čeká: žluťoučký kůň");
  s.setText("puzivatele", "Jana;Petr;");
  s.setText("pkam", "");
  s.setBool("pdoemailu", true);
  s.setBool("pdochatu", false);
  s.setInt("pdni", 7);
  s.setDateTime("pcas", DateTime{1899, 12, 30, 8, 10, 0, 0});
  s.setDateTime("pzalozeno", DateTime{2024, 5, 1, 14, 3, 7, 500});
  s.setNull("pplatnostdo", SqlType::DateTime);
  s.setBool("paktivni", true);
  s.execute();
  EXPECT_EQ(s.rowsAffected(), 1);

  Statement q(db_);
  q.execute("select * from ulohy where id=1");
  ASSERT_TRUE(q.next());
  const std::vector<std::string> expectedColumns{"id", "druh", "zprava", "uzivatele", "kam", "doemailu", "dochatu", "dni", "cas", "zalozeno", "platnostdo", "aktivni"};
  ASSERT_EQ(q.columnCount(), expectedColumns.size());
  for (std::size_t i = 0; i < expectedColumns.size(); ++i) EXPECT_EQ(q.columnName(i), expectedColumns[i]);
  EXPECT_EQ(q.field("id").asInt(), 1);
  EXPECT_EQ(q.field("zprava").asText(), "Zakázka [cislozakazky] čeká: žluťoučký kůň");
  EXPECT_TRUE(q.field("doemailu").asBool());
  EXPECT_FALSE(q.field("dochatu").asBool());
  EXPECT_EQ(q.field("dni").asInt(), 7);
  EXPECT_EQ(q.field("cas").asDateTime(), (DateTime{1899, 12, 30, 8, 10, 0, 0}));
  EXPECT_EQ(q.field("zalozeno").asDateTime(), (DateTime{2024, 5, 1, 14, 3, 7, 500}));
  EXPECT_TRUE(q.field("platnostdo").isNull());
  EXPECT_FALSE(q.next());

  Statement u(db_);
  u.setSql("update ulohy set zprava=:pzprava,dni=:pdni,platnostdo=:pplatnostdo,aktivni=:paktivni where id=:pid");
  u.setText("pzprava", "nová");
  u.setNull("pdni", SqlType::Int);
  u.setDateTime("pplatnostdo", DateTime{2025, 1, 1, 0, 0, 0, 0});
  u.setBool("paktivni", false);
  u.setInt("pid", 1);
  u.execute();
  EXPECT_EQ(u.rowsAffected(), 1);
  q.execute("select zprava, dni, platnostdo, aktivni, doemailu from ulohy where id=1");
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.field(0).asText(), "nová");
  EXPECT_TRUE(q.field(1).isNull());
  EXPECT_EQ(q.field(2).asDateTime(), (DateTime{2025, 1, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(q.field(3).asBool());
  q.close();

  // Defaults fill the columns an insert leaves out.
  s.execute("insert into ulohy (druh) values ('zalohovani')");
  q.execute("select id, doemailu, dochatu, aktivni from ulohy where druh='zalohovani'");
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.field(0).asInt(), 2);
  EXPECT_TRUE(q.field(1).asBool());
  EXPECT_TRUE(q.field(2).asBool());
  EXPECT_FALSE(q.field(3).asBool());
  q.close();
  EXPECT_THAT(failure("insert into ulohy (druh, aktivni) values ('x', NULL)"), HasSubstr("Cannot insert the value NULL into column 'aktivni'"));
  EXPECT_THAT(failure("insert into ulohy (id, druh) values (9, 'x')"), HasSubstr("Cannot insert explicit value for identity column"));

  Statement d(db_);
  d.setSql("delete from ulohy where id=:pid");
  d.setInt("pid", 2);
  d.execute();
  EXPECT_EQ(d.rowsAffected(), 1);
  EXPECT_EQ(column("select id from ulohy"), std::vector<std::string>{"1"});
}

TEST_F(StandinOdbc, ViewsAndOtherSchemasCountAsExistingTables) {
  Statement s(db_);
  s.execute("create table zdroj (a int)");
  s.execute("create view pohled as select a from zdroj");
  EXPECT_THAT(failure("create table jiny.tabulka (a int)"), HasSubstr("The specified schema name \"jiny\" either does not exist"));
  s.execute("create schema jiny");
  s.execute("create table jiny.tabulka (a int)");
  s.execute("insert into jiny.tabulka values (5)");
  EXPECT_EQ(column("select a from jiny.tabulka"), std::vector<std::string>{"5"});
  EXPECT_THAT(failure("select a from tabulka"), HasSubstr("Invalid object name 'tabulka'."));
  EXPECT_EQ(column("select TABLE_SCHEMA+'.'+TABLE_NAME+' '+TABLE_TYPE from INFORMATION_SCHEMA.TABLES where TABLE_NAME in ('pohled','tabulka') order by TABLE_NAME"),
            (std::vector<std::string>{"dbo.pohled VIEW", "jiny.tabulka BASE TABLE"}));
}

TEST_F(StandinOdbc, IdentityFunctionsFollowInsertsAndScopes) {
  Statement s(db_);
  s.execute("create table ident_t (id int identity(10,5) primary key, v nvarchar(10))");
  EXPECT_EQ(column("select ident_current('ident_t')"), std::vector<std::string>{"10"});
  s.execute("insert into ident_t (v) values ('a'), ('b')");
  EXPECT_EQ(s.rowsAffected(), 2);
  EXPECT_EQ(column("select ident_current('ident_t')"), std::vector<std::string>{"15"});
  // scope_identity() sees inserts of its own batch only; @@identity the whole connection's last one.
  EXPECT_EQ(column("insert into ident_t (v) values ('c'); select scope_identity()"), std::vector<std::string>{"20"});
  EXPECT_EQ(column("select scope_identity(), @@identity")[0], "");
  EXPECT_EQ(column("select @@identity"), std::vector<std::string>{"20"});
  EXPECT_EQ(column("insert into ident_t (v) output inserted.id values ('d')"), std::vector<std::string>{"25"});
  EXPECT_EQ(column("select ident_current('nothing')"), std::vector<std::string>{""});
}

TEST_F(StandinOdbc, TransactionsCommitOrRollBackAsTheChatDeliveryUsesThem) {
  Statement s(db_);
  s.execute("create table zpravy_tx (idzprava int identity(1,1) primary key, zprava nvarchar(4000), odeslano datetime)");
  for (const bool commit : {true, false}) {
    s.execute("begin transaction");
    s.setSql("insert into zpravy_tx (zprava,odeslano) values (:pzprava,:podeslano);select scope_identity()");
    s.setText("pzprava", commit ? "zůstane" : "zmizí");
    s.setDateTime("podeslano", DateTime{2024, 5, 6, 8, 10, 0, 0});
    s.execute();
    ASSERT_TRUE(s.next());
    EXPECT_EQ(s.field(0).asInt(), commit ? 1 : 2);
    s.close();
    EXPECT_EQ(column("select @@trancount"), std::vector<std::string>{"1"});
    s.execute(commit ? "commit transaction" : "if @@trancount > 0 rollback transaction");
    EXPECT_EQ(column("select @@trancount"), std::vector<std::string>{"0"});
  }
  EXPECT_EQ(column("select zprava from zpravy_tx"), std::vector<std::string>{"zůstane"});
  s.execute("if @@trancount > 0 rollback transaction");  // nothing to roll back: the IF skips it
  EXPECT_EQ(column("if 1=0 select 'a' else select 'b'"), std::vector<std::string>{"b"});
  EXPECT_THAT(failure("commit transaction"), HasSubstr("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
  s.execute("if 1=0 drop table neni");
  EXPECT_THAT(failure("drop table neni"), HasSubstr("Cannot drop the table 'neni'"));
}

TEST_F(StandinOdbc, PollSelectsTasksByMinuteOfServerClock) {
  Statement s(db_);
  s.execute(
      "create table ulohy_poll (id int identity(1,1) primary key, cas datetime, platnostdo datetime, aktivni bit default 0 not null)");
  s.execute(
      "insert into ulohy_poll (cas, platnostdo, aktivni) values "
      "('1899-12-30 08:10', '2030-01-01', 1),"   // due
      "('1899-12-30 09:10', '2030-01-01', 1),"   // due: only the minute counts
      "('1899-12-30 08:11', '2030-01-01', 1),"   // other minute
      "('1899-12-30 08:10', '2030-01-01', 0),"   // switched off
      "('1899-12-30 08:10', '2024-05-06', 1)");  // expired at midnight
  EXPECT_EQ(column("select id from ulohy_poll where aktivni=1 and datepart(minute,cas)=datepart(minute,GETDATE()) and platnostdo>getdate() order by id"),
            (std::vector<std::string>{"1", "2"}));
  Statement now(db_);
  now.execute("select getdate()");
  ASSERT_TRUE(now.next());
  const DateTime t = now.field(0).asDateTime();
  EXPECT_EQ((std::tuple{t.year, t.month, t.day, t.hour, t.minute}), (std::tuple{2024, 5, 6, 8, 10}));
}

TEST_F(StandinOdbc, HostFixtureAnswersTheRunnersSelections) {
  dorvik::test::seedHostDatabase(*server_, "druha");
  Connection host;
  host.open(server_->connectionString("druha"), 10);
  auto ids = [&](const std::string& sql) {
    Statement q(host);
    q.execute(sql);
    std::vector<std::string> out;
    while (q.next()) out.push_back(q.field(0).asText());
    return out;
  };
  EXPECT_EQ(ids("select * from opravy where vysledek='' and predatumzhotoveni-getdate()<7"), (std::vector<std::string>{"1001", "1003"}));
  EXPECT_EQ(ids("select * from devices where active=1 and nextdate-getdate()<7 and nextdate-GETDATE()>-200"), std::vector<std::string>{"501"});
  EXPECT_EQ(ids("select uzivatel from users order by uzivatel"), (std::vector<std::string>{"Admin", "Jana", "Petr", "Žofie"}));
  Statement q(host);
  q.execute("select * from opravy where cislozakazky=1002");
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.columnName(0), "cislozakazky");
  EXPECT_EQ(q.field("zakaznik").asText(), "Marie Svobodová");
  EXPECT_EQ(std::get<dorvik::db::DecimalText>(q.field("cena").storage()).digits, "2890.50");
}

TEST_F(StandinOdbc, DateDifferencesCompareAsDays) {
  Statement s(db_);
  s.execute("create table opravy_d (cislozakazky int primary key, vysledek nvarchar(50), predatumzhotoveni datetime)");
  s.execute(
      "insert into opravy_d values (1, '', '2024-05-12 08:00'), (2, '', '2024-05-14 08:00'), (3, 'hotovo', '2024-05-07'),"
      " (4, '', '2024-04-01'), (5, '', NULL)");
  // The clock stands at 2024-05-06 08:10: order 1 is 5.99 days ahead, 2 is 7.99.
  EXPECT_EQ(column("select cislozakazky from opravy_d where vysledek='' and predatumzhotoveni-getdate()<7 order by cislozakazky"),
            (std::vector<std::string>{"1", "4"}));
  EXPECT_EQ(column("select cislozakazky from opravy_d where predatumzhotoveni-GETDATE()>-30 and predatumzhotoveni-getdate()<7 order by 1"),
            (std::vector<std::string>{"1", "3"}));
  // Text compared with a date-time is read as a date-time, as SQL Server converts by type precedence.
  EXPECT_EQ(column("select cislozakazky from opravy_d where predatumzhotoveni > '2024-05-12 08:00' order by 1"), std::vector<std::string>{"2"});
  Statement p(db_);
  p.setSql("select cislozakazky from opravy_d where predatumzhotoveni between :pod and :pdo");
  p.setText("pod", "2024-05-07");
  p.setText("pdo", "2024-05-12 08:00");
  p.execute();
  std::vector<std::string> ids;
  while (p.next()) ids.push_back(p.field(0).asText());
  EXPECT_EQ(ids, (std::vector<std::string>{"1", "3"}));
}

TEST_F(StandinOdbc, DefaultCollationIgnoresCaseAndTrailingBlanks) {
  Statement s(db_);
  s.execute("create table users_c (userid int primary key, uzivatel nvarchar(50), email nvarchar(100))");
  s.execute("insert into users_c values (1, N'Jana', 'jana@firma.cz'), (2, N'Žofie', 'zofie@firma.cz'), (3, N'Petr ', NULL)");
  struct Case {
    std::string name;
    std::string userid;
  } cases[] = {{"jana", "1"}, {"JANA  ", "1"}, {"žofie", "2"}, {"ŽOFIE", "2"}, {"petr", "3"}, {" jana", ""}, {"Zofie", ""}};
  for (const Case& c : cases) {
    Statement q(db_);
    q.setSql("select userid from users_c where uzivatel=:puzivatel");
    q.setText("puzivatel", c.name);
    q.execute();
    EXPECT_EQ(q.next() ? q.field(0).asText() : std::string(), c.userid) << c.name;
  }
  EXPECT_EQ(column("select uzivatel from users_c order by uzivatel"), (std::vector<std::string>{"Jana", "Petr ", "Žofie"}));
  struct Like {
    std::string pattern;
    std::vector<std::string> ids;
  } likes[] = {{"ž%", {"2"}}, {"J_NA", {"1"}}, {"[jp]%", {"1", "3"}}, {"[^j]%", {"2", "3"}}, {"%e%", {"2", "3"}}, {"100!%", {}}};
  for (const Like& l : likes) {
    EXPECT_EQ(column("select userid from users_c where uzivatel like N'" + l.pattern + "' escape '!' order by userid"), l.ids) << l.pattern;
  }
}

TEST_F(StandinOdbc, TypesAndNullsRoundTrip) {
  Statement s(db_);
  s.execute(
      "create table typy (i int, b bigint, s smallint, t tinyint, f bit, n nvarchar(10), m nvarchar(max), v varchar(20),"
      " d datetime, dd date, r float, c decimal(10,2))");
  const std::string longText(5000, 'x');
  s.setSql("insert into typy values (-5, 9000000000, -300, 255, 1, N'čaj', :pm, 'abc', '2024-02-29 23:59:59.997', '2024-03-01', 2.5, 1234.56)");
  s.setText("pm", longText + "ř");
  s.execute();
  s.execute("insert into typy values (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
  Statement q(db_);
  q.execute("select * from typy");
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.field("i").asInt(), -5);
  EXPECT_EQ(q.field("b").asInt(), 9000000000);
  EXPECT_EQ(q.field("s").asInt(), -300);
  EXPECT_EQ(q.field("t").asInt(), 255);
  EXPECT_TRUE(q.field("f").asBool());
  EXPECT_EQ(q.field("n").asText(), "čaj");
  EXPECT_EQ(q.field("m").asText(), longText + "ř");
  EXPECT_EQ(q.field("v").asText(), "abc");
  EXPECT_EQ(q.field("d").asDateTime(), (DateTime{2024, 2, 29, 23, 59, 59, 997}));
  EXPECT_EQ(q.field("dd").asDateTime(), (DateTime{2024, 3, 1, 0, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(q.field("r").asDouble(), 2.5);
  EXPECT_EQ(std::get<dorvik::db::DecimalText>(q.field("c").storage()).digits, "1234.56");
  ASSERT_TRUE(q.next());
  for (std::size_t i = 0; i < q.columnCount(); ++i) EXPECT_TRUE(q.field(i).isNull()) << q.columnName(i);
  EXPECT_FALSE(q.next());
}

TEST_F(StandinOdbc, RefusesWhatItCannotDoWithServerErrors) {
  Statement s(db_);
  s.execute("create table kratke (t nvarchar(5), i int)");
  struct Case {
    std::string sql, message;
  } cases[] = {
      {"insert into kratke values (N'123456', 1)", "String or binary data would be truncated."},
      {"insert into kratke values ('a', 'abc')", "Conversion failed when converting the nvarchar value 'abc' to data type int."},
      {"select * from neni", "Invalid object name 'neni'."},
      {"select nesloupec from kratke", "Invalid column name 'nesloupec'."},
      {"select * from kratke where", "Incorrect syntax near 'where'."},
      {"select soundex('a')", "'soundex' is not a recognized built-in function name."},
      {"declare @x int", "Incorrect syntax near 'declare'."},
      {"select 1/0", "Divide by zero error encountered."},
      {"select 100000 * 100000", "Arithmetic overflow error converting expression to data type int."},
      {"select 'abc", "Unclosed quotation mark after the character string 'abc'."},
      {"exec sp_who", "Incorrect syntax near 'exec'."},
  };
  for (const Case& c : cases) EXPECT_THAT(failure(c.sql), HasSubstr(c.message)) << c.sql;
  // The same through a parameterised statement (sp_executesql).
  Statement p(db_);
  p.setSql("insert into kratke (t, i) values (:pt, :pi)");
  p.setText("pt", "žluťoučký");
  p.setInt("pi", 1);
  try {
    p.execute();
    ADD_FAILURE() << "a text longer than nvarchar(5) was stored";
  } catch (const DatabaseError& e) {
    EXPECT_THAT(e.what(), HasSubstr("String or binary data would be truncated."));
  }
  p.setText("pt", "pět  ");
  p.setInt("pi", 2);
  p.execute();
  EXPECT_EQ(column("select count(*) from kratke"), std::vector<std::string>{"1"});
  // A syntax error anywhere in a batch means none of it runs; names made earlier in a batch resolve later in it.
  EXPECT_THAT(failure("insert into kratke values ('x', 3) select * from kratke wher i = 3"), HasSubstr("Incorrect syntax near"));
  EXPECT_EQ(column("select count(*) from kratke"), std::vector<std::string>{"1"});
  EXPECT_EQ(column("create table novy (a int) insert into novy (a) values (7) select a from novy"), std::vector<std::string>{"7"});
}

TEST_F(StandinOdbc, DatabasesCanBeListedCreatedAndSwitched) {
  EXPECT_EQ(column("select name from sys.databases order by name"), (std::vector<std::string>{"druha", "master", "vorlak"}));
  Statement s(db_);
  s.execute("create database treti");
  EXPECT_THAT(failure("create database TRETI"), HasSubstr("Database 'TRETI' already exists."));
  s.execute("use treti");
  EXPECT_EQ(db_.databaseName(), "treti");
  EXPECT_EQ(column("select db_name()"), std::vector<std::string>{"treti"});
  EXPECT_THAT(failure("use nenijetu"), HasSubstr("Database 'nenijetu' does not exist."));
  s.execute("use vorlak");
  EXPECT_EQ(db_.databaseName(), "vorlak");
}

TEST_F(StandinOdbc, BackupWritesAConsistentCopyAndReportsMissingFolders) {
  Statement s(db_);
  s.execute("create table zaloha_t (id int identity(1,1) primary key, v nvarchar(20))");
  s.execute("insert into zaloha_t (v) values ('jedna'), ('dva')");
  const std::filesystem::path folder = server_->dataFolder() / "zalohy";
  std::filesystem::create_directories(folder);
  // Windows-style separators, as the backup task writes them.
  const std::string windowsPath = folder.string() + "\\vorlak.bak";
  s.execute("BACKUP DATABASE vorlak TO DISK =N'" + folder.string() + "\\vorlak.bak' WITH INIT");
  s.execute("BACKUP DATABASE vorlak TO DISK =N'" + folder.string() + "\\vorlak.bak' WITH INIT");  // replaces it
  const std::filesystem::path file = folder / "vorlak.bak";
  ASSERT_TRUE(std::filesystem::exists(file));
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> copy(raw, sqlite3_close);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(copy.get(), "select count(*) from zaloha_t", -1, &st, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(st, 0), 2);
  sqlite3_finalize(st);

  const std::string missing = "C:\\neni\\tu\\vorlak.bak";
  const std::string error = failure("BACKUP DATABASE vorlak TO DISK =N'" + missing + "' WITH INIT");
  EXPECT_THAT(error, HasSubstr("Cannot open backup device '" + missing + "'. Operating system error 3(The system cannot find the path specified.)."));
  EXPECT_THAT(error, HasSubstr("BACKUP DATABASE is terminating abnormally."));
  EXPECT_THAT(failure("BACKUP DATABASE nenijetu TO DISK =N'" + folder.string() + "\\x.bak' WITH INIT"),
              HasSubstr("Database 'nenijetu' does not exist."));
}

TEST_F(StandinOdbc, ServesManyConnectionsAtOnce) {
  Statement s(db_);
  s.execute("create table soubezne (id int identity(1,1) primary key, vlakno int)");
  constexpr int kThreads = 4, kRows = 25;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        Connection c;
        c.open(server_->connectionString("vorlak"), 10);
        Statement ins(c);
        for (int i = 0; i < kRows; ++i) {
          ins.setSql("insert into soubezne (vlakno) values (:pv)");
          ins.setInt("pv", t);
          ins.execute();
        }
      } catch (const std::exception&) {
        ++failures;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
  const auto ids = column("select id from soubezne");
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(kThreads * kRows));
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());
}

TEST(StandinSupport, ScriptErrorsNameTheServerMessageAndTheFolderGoesAway) {
  std::filesystem::path folder;
  {
    StandinServer server;
    folder = server.dataFolder();
    dorvik::test::runScript(server, "vorlak", "create table a (x int)\nGO\n  go  \ninsert into a values (1)\n");
    try {
      dorvik::test::runScript(server, "vorlak", "insert into a values (2)\ngo\nselect * from neni\n");
      ADD_FAILURE() << "the script did not fail";
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), HasSubstr("Invalid object name 'neni'."));
    }
    Connection c;
    c.open(server.connectionString("vorlak"), 10);
    Statement q(c);
    q.execute("select count(*) from a");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.field(0).asInt(), 2);
    EXPECT_TRUE(std::filesystem::exists(folder / "vorlak.sqlite"));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
