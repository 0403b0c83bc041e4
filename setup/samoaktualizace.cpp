// The self-update's start step.
#include "setup/samoaktualizace.h"

#include <exception>

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "setup/dialogs.h"
#include "setup/procesy.h"
#include "setup/soubory_programu.h"

namespace dorvik::setup {

Samoaktualizace samoaktualizace(const QString& program, const QString& slozka, Dialogs& dialogs) {
  Samoaktualizace vysledek = Samoaktualizace::pokracovat;
  if (QFileInfo(program).fileName() == soubornovehonastroje()) {
    QThread::msleep(3600);  // time for the old setup tool to end
    if (procesexistuje(soubornastroje())) {
      ukoncitprocesy(soubornastroje());
      QThread::msleep(1000);
    }
    try {
      kopirujsoubor(program, slozka + soubornastroje());
    } catch (const std::exception& e) {
      dialogs.zprava(QStringLiteral("chyba"), QString::fromUtf8(e.what()), Ikona::Chyba);
      return Samoaktualizace::selhala;
    }
    spustsoubor(slozka + soubornastroje());
    vysledek = Samoaktualizace::predano;
  }
  // A running copy may refuse to go; it goes at a later start.
  QFile::remove(slozka + soubornovehonastroje());
  return vysledek;
}

}  // namespace dorvik::setup
