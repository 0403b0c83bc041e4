// TForm1's backup location: the folder choice, the test backup and vytvorzalohu.
#include <QLineEdit>
#include <QProgressBar>

#include "core/db/statement.h"
#include "core/zaloha.h"
#include "platform/local_time.h"
#include "setup/busy_call.h"
#include "setup/dialogs.h"
#include "setup/editor_uloh.h"
#include "setup/tform1.h"

namespace dorvik::setup {

void TForm1::vybratuzalohybClick() {
  // Always from the setup tool's own folder, whatever uzle holds.
  if (const auto slozka = dialogs_.slozka(QString::fromStdString(folder_))) zalohovani_->uzle()->setText(*slozka);
}

void TForm1::testuzalohybClick() {
  const QString kam = orizni(zalohovani_->uzle()->text());
  if (kam.size() < 3) return;
  const QString vysledek = vytvorzalohu(kam);
  if (!vysledek.isEmpty()) dialogs_.zprava(QStringLiteral("chyba"), vysledek, Ikona::Chyba);
}

QString TForm1::vytvorzalohu(const QString& kam) {
  if (!con_.isOpen() && !pripojzpolicek()) {
    return QStringLiteral("Nelze vytvořit zálohu, připojení k databázi není dostupné.");
  }
  // The name follows the database the connection holds now, after any reconnect above.
  const std::string databaze = con_.databaseName();
  const std::string cesta = cestazalohy(kam.toStdString(), nazevzalohy(databaze, platform::localNow()));
  try {
    // The same statement as the runner's, with the name and path quoted so that an apostrophe cannot break it.
    const std::string sqlcmd = prikazzalohy(databaze, cesta);
    busyCall(
        [&] {
          db::Statement prikaz(con_);
          prikaz.execute(sqlcmd);
          while (prikaz.nextResult()) {
          }
        },
        prubeh_);
  } catch (const std::exception& e) {
    dialogs_.zprava(QStringLiteral("chyba"), QString::fromUtf8(e.what()), Ikona::Chyba);
    return QStringLiteral(
        "Pozor, chyba při vytváření zálohy, zkontrolujte nastavení sql serveru a dostupnost úložiště ze serveru.");
  }
  return {};
}

}  // namespace dorvik::setup
