// obsluha: the boundary at which uncaught errors of the window's handlers become the default error box.
#include "setup/handler_guard.h"

#include <exception>

#include "setup/dialogs.h"

namespace dorvik::setup {

bool obsluha(Dialogs& dialogs, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    chybovybox(dialogs, e);
  } catch (...) {
    dialogs.zprava(QStringLiteral("dorvik"), QStringLiteral("Unknown error"), Ikona::Chyba);
  }
  return false;
}

void chybovybox(Dialogs& dialogs, const std::exception& error) {
  dialogs.zprava(QStringLiteral("dorvik"), QString::fromUtf8(error.what()), Ikona::Chyba);
}

}  // namespace dorvik::setup
