// Running programs and program files, as the component update needs them.
#pragma once
#include <QString>

namespace dorvik::setup {

// Some running process's executable name begins with `nazev`, ignoring case.
bool procesbezi(const QString& nazev);
// Some running process's executable name equals `nazev`, ignoring case.
bool procesexistuje(const QString& nazev);
// Ends every process whose executable name equals `nazev` (ignoring case);
// those that cannot be ended are passed over.
void ukoncitprocesy(const QString& nazev);

// Copies `zdroj` over `cil` in blocks, keeping the window's events flowing.
// The copy is written beside the target and takes its name only when whole,
// so a failed copy leaves the target as it was. Throws FileError.
void kopirujsoubor(const QString& zdroj, const QString& cil);

// Opens the file as the desktop would; a program is started. Throws when it cannot be.
void spustsoubor(const QString& soubor);

}  // namespace dorvik::setup
