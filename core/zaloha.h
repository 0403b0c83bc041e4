// Database backups made by SQL Server: the file name, the statement and zalohujdb.
#pragma once
#include <string>
#include <string_view>

#include "core/db/connection.h"
#include "platform/local_time.h"

namespace dorvik {

// "<database>_<date-time>.bak": the date-time text of the logs, with
// ".", ":", "/" and "\" made "_" and blanks "-" in the whole name.
std::string nazevzalohy(std::string_view databaze, const DateTime& kdy);

// The path SQL Server writes: the folder, "\" and the file name.
std::string cestazalohy(std::string_view kam, std::string_view soubor);

// "BACKUP DATABASE <name> TO DISK =N'<path>' WITH INIT". A name that is not a
// plain identifier is bracketed ("]" doubled) and "'" in the path is doubled,
// so that any database and folder can be backed up and nothing breaks the statement.
std::string prikazzalohy(std::string_view databaze, std::string_view cesta);

// Backs the connected database up into the folder `kam` as the server sees
// it. Returns empty text on success, otherwise the failure text with the path.
std::string zalohujdb(std::string_view kam, db::Connection& con);

}  // namespace dorvik
