// The published versions: reading the update server's version document, and the version of an installed program.
#pragma once
#include <QString>

namespace dorvik::setup {

// The version document's values; all empty until read.
struct Tnovaverze {
  QString verzedv;     // the setup tool
  QString verzedvsc;   // the service program
  QString verzeuloha;  // the task runner
  QString soubory;     // read, without effect
  QString popis;       // release description, or the reason the fetch failed
};

// Whether the update server can be reached at all: the computer has a
// network connection, or the server is on this computer.
bool pripojeno(const QString& adresa);

// Fetches "<adresa>/data/vorlak8/dv.php" and reads its document element's
// children into `v`. Never throws: a failure leaves the fields read so far
// and puts its message in `popis`. Without a connection `v` stays as it was.
void novaverze(const QString& adresa, Tnovaverze& v);

// Reads a version document's text into `v` (the part of novaverze after the
// fetch); throws with the parser's message when it is not a whole XML document.
void prectiverze(const QByteArray& dokument, Tnovaverze& v);

// The file's version as "1.02.10.05", empty when it has none.
QString verzesouboru(const QString& cesta);

}  // namespace dorvik::setup
