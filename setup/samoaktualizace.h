// The second half of the setup tool's self-update, run first whenever the setup tool starts.
#pragma once
#include <QString>

namespace dorvik::setup {

class Dialogs;

enum class Samoaktualizace {
  pokracovat,  // go on creating the window
  predano,     // the new copy took the regular name and was started: go on, then end
  selhala,     // the copy failed and was reported: the window's creation ends here
};

// `program` is the running executable, `slozka` the program folder with its
// trailing separator. Running as the downloaded new copy, it waits for the
// old setup tool to end, ends any setup tool still running, copies itself
// over the regular program and starts it. In every case a stale new copy
// beside the program is removed when it can be.
Samoaktualizace samoaktualizace(const QString& program, const QString& slozka, Dialogs& dialogs);

}  // namespace dorvik::setup
