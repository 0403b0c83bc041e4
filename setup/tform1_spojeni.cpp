// TForm1's connection: testcon (the setup tool's variant), conAfterConnect, the database list and the connection test.
#include <QComboBox>
#include <QProgressBar>
#include <QLineEdit>

#include "core/agent_tables.h"
#include "core/datetime_text.h"
#include "core/db/odbc_error.h"
#include "core/db/statement.h"
#include "core/nastaveni.h"
#include "core/testcon.h"
#include "platform/local_time.h"
#include "setup/busy_call.h"
#include "setup/dialogs.h"
#include "setup/editor_uloh.h"
#include "setup/log_view.h"
#include "setup/tform1.h"
#include "setup/ulohy_model.h"

namespace dorvik::setup {
namespace {

QString className(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Error*>(&e)) return QString::fromLatin1(own->className());
  return QStringLiteral("Exception");
}

}  // namespace

bool TForm1::testcon(const QString& serverport, const QString& databaze, const QString& jmeno, const QString& heslo,
                     bool silent, bool conokmessage, bool aktualizovat) {
  // Closing the connection closes every query on it: the task grids empty.
  con_.close();
  for (EditorUloh* e : {zakazky_, zarizeni_, zalohovani_}) e->model()->close();

  // A port that is no whole number fails here, before anything is opened, and reaches the caller.
  const ParametrySpojeni p = rozeberspojeni(serverport.toStdString(), databaze.toStdString(), jmeno.toStdString(),
                                            heslo.toStdString(), /*runner=*/false);
  QString serverText;
  try {
#ifndef _WIN32
    if (p.localDb) throw db::DatabaseError("A local SQL Server instance (LocalDB) is available only on Windows");
#endif
    const std::string connectionString = pripojovaciretezec(p);
    // Up to the time-out: off the window thread, so that the window keeps painting.
    busyCall([&] { con_.open(connectionString, p.casovylimit); }, prubeh_);
    conAfterConnect(databaze, aktualizovat);
    db::Statement qpom(con_);
    qpom.execute(std::string(kTestovaciDotaz));
    if (qpom.next()) serverText = QString::fromStdString(qpom.field(0).asText());
  } catch (const std::exception& e) {
    const QString trida = className(e);
    const QString zprava = QString::fromUtf8(e.what());
    if (!silent) dialogs_.zprava(QStringLiteral("chyba"), trida + QStringLiteral(": ") + zprava, Ikona::Chyba);
    logre_->pridejradek(QString::fromStdString(datumcas(platform::localNow())) + QStringLiteral(": ") +
                        QString::fromStdString(nazevserveru(serverport.toStdString())) + QStringLiteral(" chyba: ") +
                        trida + QStringLiteral(", ") + zprava);
    return false;
  }
  if (conokmessage && !silent && con_.isOpen()) {
    dialogs_.zprava(QStringLiteral("Informace"),
                    QStringLiteral("připojeno k: ") + serverText + QStringLiteral("\r\ndatabáze:") +
                        QString::fromStdString(con_.databaseName()),
                    Ikona::Informace);
  }
  return true;
}

bool TForm1::pripojzpolicek() {
  return testcon(serverportle_->text(), databazecb_->currentText(), jmenole_->text(), heslole_->text(), false, false);
}

void TForm1::conAfterConnect(const QString& databaze, bool aktualizovat) {
  // 1. The server's databases; the typed text stays.
  {
    QStringList names;
    db::Statement qpom(con_);
    qpom.execute("select name from sys.databases order by name");
    while (qpom.next()) names << QString::fromStdString(qpom.field(0).asText());
    const QString text = databazecb_->currentText();
    databazecb_->clear();
    databazecb_->addItems(names);
    databazecb_->setEditText(text);
  }
  // 2. Without a database only the list was wanted.
  if (databaze.isEmpty()) return;
  // A fresh host database has no ulohy yet: create the agent tables before the lists need them.
  if (aktualizovat) aktualizujdb(con_);
  // 3. The task lists.
  for (EditorUloh* e : {zakazky_, zarizeni_, zalohovani_}) e->model()->open();
  // 4. The chat senders, in the order the server returns them.
  {
    db::Statement qpom(con_);
    qpom.execute("select uzivatel from users");
    chatusercb_->clear();
    while (qpom.next()) chatusercb_->addItem(QString::fromStdString(qpom.field(0).asText()));
  }
  // 5. The sender as loaded at start: the in-memory settings change only when the window closes.
  chatusercb_->setEditText(QString::fromStdString(prectinastaveni(ini_).chatusercb));
}

void TForm1::databazecbEnter() {
  if (!serverportle_->text().isEmpty() && !jmenole_->text().isEmpty() && !heslole_->text().isEmpty() &&
      databazecb_->currentText().isEmpty()) {
    testcon(serverportle_->text(), QString(), jmenole_->text(), heslole_->text(), false, false);
  }
}

void TForm1::testdbbClick() {
  testcon(serverportle_->text(), databazecb_->currentText(), jmenole_->text(), heslole_->text(), false, true,
          /*aktualizovat=*/true);
}

}  // namespace dorvik::setup
