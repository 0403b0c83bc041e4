// procesbezi, procesexistuje, ukoncitprocesy, kopirujsoubor, spustsoubor.
#include "setup/procesy.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/error.h"
#include "platform/processes.h"
#include "platform/shell_open.h"

namespace dorvik::setup {
namespace {

bool stejnynazev(const platform::RunningProcess& p, const QString& nazev) {
  const QString jmeno = QString::fromStdString(p.executableName);
  return jmeno.compare(nazev, Qt::CaseInsensitive) == 0 ||
         QFileInfo(jmeno).fileName().compare(nazev, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool procesbezi(const QString& nazev) {
  for (const auto& p : platform::runningProcesses()) {
    if (QString::fromStdString(p.executableName).startsWith(nazev, Qt::CaseInsensitive)) return true;
  }
  return false;
}

bool procesexistuje(const QString& nazev) {
  for (const auto& p : platform::runningProcesses()) {
    if (stejnynazev(p, nazev)) return true;
  }
  return false;
}

void ukoncitprocesy(const QString& nazev) {
  for (const auto& p : platform::runningProcesses()) {
    if (stejnynazev(p, nazev)) platform::terminateProcess(p.pid);
  }
}

void kopirujsoubor(const QString& zdroj, const QString& cil) {
  QFile in(zdroj);
  if (!in.open(QIODevice::ReadOnly)) {
    throw FileError("Cannot open \"" + zdroj.toStdString() + "\" for reading: " + in.errorString().toStdString());
  }
  // QSaveFile writes a temporary file beside the target and renames it over the target on commit.
  QSaveFile out(cil);
  if (!out.open(QIODevice::WriteOnly)) {
    throw FileError("Cannot create \"" + cil.toStdString() + "\": " + out.errorString().toStdString());
  }
  constexpr qint64 kBlok = 8194;
  while (!in.atEnd()) {
    const QByteArray blok = in.read(kBlok);
    if (blok.isEmpty() && in.error() != QFileDevice::NoError) {
      throw FileError("Cannot read \"" + zdroj.toStdString() + "\": " + in.errorString().toStdString());
    }
    if (out.write(blok) != blok.size()) {
      throw FileError("Cannot write \"" + cil.toStdString() + "\": " + out.errorString().toStdString());
    }
    QCoreApplication::processEvents();
  }
  if (!out.setPermissions(in.permissions()) || !out.commit()) {
    throw FileError("Cannot replace \"" + cil.toStdString() + "\": " + out.errorString().toStdString());
  }
}

void spustsoubor(const QString& soubor) { platform::openWithShell(soubor.toStdString()); }

}  // namespace dorvik::setup
