// Demo data for screenshots and the benchmark: a stand-in with the host fixture, the agent tables and sample tasks.
#pragma once
#include <string>

#include "core/nastaveni.h"
#include "tests/support/standin_server.h"

namespace dorvik::setup::test {

// Settings that reach the stand-in's database "vorlak" with its login.
Nastaveni demonastaveni(const dorvik::test::StandinServer& server);

// The host tables, the agent tables and a few tasks of each kind, as a shop would have them.
void naplndemo(const dorvik::test::StandinServer& server);

// `count` order tasks more, inserted a thousand rows per statement.
void pridejulohy(const dorvik::test::StandinServer& server, int count);

}  // namespace dorvik::setup::test
