// One run of the task runner: task id, settings, connection, task row, dispatch.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/db/connection.h"
#include "core/db/statement.h"
#include "core/nastaveni.h"

namespace dorvik {

// The run state every step and kind handler reads.
struct Beh {
  std::string slozka;  // the runner's folder, with trailing separator
  std::int32_t idulohy = 0;
  Nastaveni nastaveni;
  db::Connection con;
  std::unique_ptr<db::Statement> uloha;  // open on the task row
  std::unique_ptr<db::Statement> prace;  // for the kind handlers' host rows
};

using Pauza = std::function<void(std::chrono::milliseconds)>;

// Runs one task as the command line `args` (without the program name) asks,
// writing console lines to `console`. Returns the exit code of an ordinary
// end; exceptions no step handles propagate to the caller.
int spustuloha(const std::vector<std::string>& args, const std::string& slozka, std::ostream& console,
               const Pauza& pauza);

}  // namespace dorvik
