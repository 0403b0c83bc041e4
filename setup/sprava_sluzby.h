// What the service page and the component update need besides the service control library.
#pragma once
#include <functional>

#include <QString>

namespace dorvik::setup {

class Dialogs;

// The service's registered name.
inline constexpr const char* kSluzba = "dvservice";

// Whether this process may install, remove, start and stop the service.
bool jespravce();
// Replaces the rights check (nothing restores the real one). Tests run as
// root, where the check cannot fail otherwise.
void nahradjespravce(std::function<bool()> kontrola);

// The box shown when the rights are missing.
void zpravaopravech(Dialogs& dialogs);

// Runs a command line without a window and waits until it ends, keeping the
// window's events flowing; a command that cannot be started throws.
void spustapockej(const QString& prikaz);

// What the service page shows for a state text of stavsluzby.
struct VzhledSluzby {
  QString startb;       // caption of the start/stop button
  bool startbEnabled;
  QString instalovatb;  // caption of the install/remove button
};
// `startb` is the button's caption so far: a state without an order of its own keeps it.
VzhledSluzby vzhledsluzby(const QString& stav, const QString& startb);

// The command line that runs the service program with `prepinac` ("/install", "/uninstall").
QString prikazsluzby(const QString& slozka, const char* prepinac);

// The TLS libraries the runner's mail sending loads: empty when all are
// present, else the names of the missing ones, separated by ", ".
QString chybejicitlsknihovny();

}  // namespace dorvik::setup
