// Test support: a host database in place of the host program's (users, opravy, devices) with Czech sample rows.
#pragma once
#include <string>

#include "tests/support/standin_server.h"

namespace dorvik::test {

// The T-SQL script that creates and fills the host tables; dates are relative
// to the server's getdate(), so a server started with a --clock gives fixed ones.
//
// users:   userid 1 "Jana" (jana.novakova@servis-vorlak.cz), 2 "Petr" (petr.dvorak@servis-vorlak.cz),
//          3 "Žofie" (no e-mail), 4 "Admin" (admin@servis-vorlak.cz)
// opravy:  cislozakazky 1001..1005, first column; vysledek '' marks an open order:
//          1001 open, due in 2 days; 1002 open, due in 10 days; 1003 open, 3 days late;
//          1004 finished ("opraveno"), due in 1 day; 1005 open, no planned date
// devices: devicenumber 501..504, first column; active 1 = in use:
//          501 next service in 5 days; 502 in 30 days; 503 inactive, in 2 days; 504 due 250 days ago
std::string hostDatabaseScript();

// Runs hostDatabaseScript() in the database through the server. Throws std::runtime_error.
void seedHostDatabase(const StandinServer& server, const std::string& database);

}  // namespace dorvik::test
