// The host-database fixture script.
#include "tests/support/host_database.h"

namespace dorvik::test {

std::string hostDatabaseScript() {
  return R"sql(
create table users (
  userid int identity(1,1) primary key,
  uzivatel nvarchar(50) not null,
  jmeno nvarchar(100),
  email nvarchar(200),
  aktivni bit default 1 not null)
go
insert into users (uzivatel, jmeno, email) values
  (N'Jana', N'Jana Nováková', N'jana.novakova@servis-vorlak.cz'),
  (N'Petr', N'Petr Dvořák', N'petr.dvorak@servis-vorlak.cz'),
  (N'Žofie', N'Žofie Černá', NULL),
  (N'Admin', N'Správce', N'admin@servis-vorlak.cz')
go
create table opravy (
  cislozakazky int not null primary key,
  zakaznik nvarchar(200),
  telefon nvarchar(50),
  zarizeni nvarchar(200),
  zavada nvarchar(4000),
  vysledek nvarchar(4000) default '' not null,
  prijato datetime,
  predatumzhotoveni datetime,
  cena decimal(10,2))
go
insert into opravy (cislozakazky, zakaznik, telefon, zarizeni, zavada, vysledek, prijato, predatumzhotoveni, cena) values
  (1001, N'Karel Horák', N'+420 602 111 222', N'Pračka Whirlwind 600', N'Neodčerpává vodu', N'', dateadd(day, -5, getdate()), dateadd(day, 2, getdate()), 1250.00),
  (1002, N'Marie Svobodová', N'+420 731 333 444', N'Lednice Polar K2', N'Hlučný kompresor', N'', dateadd(day, -1, getdate()), dateadd(day, 10, getdate()), 2890.50),
  (1003, N'Tomáš Král', NULL, N'Myčka Clean 45', N'Nesuší nádobí', N'', dateadd(day, -20, getdate()), dateadd(day, -3, getdate()), NULL),
  (1004, N'Eva Pokorná', N'+420 777 555 666', N'Sušička Dry 8', N'Netopí', N'opraveno', dateadd(day, -7, getdate()), dateadd(day, 1, getdate()), 990.00),
  (1005, N'Jiří Beneš', N'+420 608 777 888', N'Trouba Hot 3', N'Nefunguje displej', N'', getdate(), NULL, NULL)
go
create table devices (
  devicenumber int not null primary key,
  nazev nvarchar(200),
  vyrobnicislo nvarchar(100),
  zakaznik nvarchar(200),
  cislozakazky int,
  active bit default 1 not null,
  lastdate datetime,
  nextdate datetime)
go
insert into devices (devicenumber, nazev, vyrobnicislo, zakaznik, cislozakazky, active, lastdate, nextdate) values
  (501, N'Kotel Therm 24', N'TH24-0001', N'Karel Horák', 1001, 1, dateadd(day, -360, getdate()), dateadd(day, 5, getdate())),
  (502, N'Klimatizace Cool 3', N'CL3-7781', N'Marie Svobodová', 1002, 1, dateadd(day, -335, getdate()), dateadd(day, 30, getdate())),
  (503, N'Čerpadlo Aqua', N'AQ-1200', N'Tomáš Král', 1003, 0, dateadd(day, -363, getdate()), dateadd(day, 2, getdate())),
  (504, N'Bojler Ohřev 80', N'OH80-3', N'Eva Pokorná', 1004, 1, dateadd(day, -615, getdate()), dateadd(day, -250, getdate()))
go
)sql";
}

void seedHostDatabase(const StandinServer& server, const std::string& database) { runScript(server, database, hostDatabaseScript()); }

}  // namespace dorvik::test
