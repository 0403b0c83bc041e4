// The agent's own tables in the host database and their creation.
#pragma once
#include <string>
#include <string_view>

#include "core/db/connection.h"

namespace dorvik {

inline constexpr std::string_view kCreateChat =
    "create table chat(id int identity(1,1) PRIMARY KEY,idzpravy int,idodkoho int,idkomu int)";
inline constexpr std::string_view kCreateZpravychat =
    "create table zpravychat(idzprava int identity(1,1) PRIMARY KEY,zprava nvarchar(4000),odeslano datetime,"
    "platnostod datetime,platnostdo datetime)";
// Sent as its two lines joined by CR LF.
inline constexpr std::string_view kCreateUlohyLine1 =
    "create table ulohy (id int identity(1,1) PRIMARY key,druh nvarchar(4000),zprava nvarchar(4000),"
    "uzivatele nvarchar(4000),kam nvarchar(4000),";
inline constexpr std::string_view kCreateUlohyLine2 =
    "doemailu bit default 1 not null,dochatu bit default 1 not null,dni int,cas datetime,zalozeno datetime,"
    "platnostdo datetime,aktivni bit default 0 not null)";
inline constexpr std::string_view kCreateHistorieagent =
    "create table historieagent (id int identity(1,1) primary key,idulohy int,kdy datetime,komu nvarchar(4000),"
    "co nvarchar(4000),kam nvarchar(4000))";

// Whether a table or view of that name exists in the connected database. The
// name is put into the statement as it is: callers pass fixed names only.
bool tabulkaexistuje(db::Connection& con, std::string_view nazevtabulky);

// Executes one statement that returns no rows.
void prikaz(db::Connection& con, std::string_view s);

// Creates whichever of chat, zpravychat, ulohy and historieagent are missing,
// in that order; never in the database named exactly "master". Errors reach
// the caller, and the tables after the failing one are not attempted.
void aktualizujdb(db::Connection& con);

}  // namespace dorvik
