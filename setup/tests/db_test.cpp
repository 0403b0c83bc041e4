// Tests of the setup tool's window against the SQL Server stand-in and the SMTP test peer.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>

#include "core/agent_tables.h"
#include "core/datetime_text.h"
#include "core/db/connection.h"
#include "core/db/statement.h"
#include "core/mail/mail_error_box.h"
#include "core/mail/smtp_peer_test_support.h"
#include "platform/local_time.h"
#include "setup/editor_uloh.h"
#include "setup/log_view.h"
#include "setup/tests/window_fixture.h"
#include "setup/tvybratuf.h"
#include "setup/ulohy_grid.h"
#include "setup/ulohy_model.h"
#include "setup/vzhled.h"
#include "tests/support/host_database.h"
#include "tests/support/standin_server.h"

using namespace dorvik;
using namespace dorvik::setup;
using namespace dorvik::setup::test;

namespace {

void klikni(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

void prepis(QLineEdit* e, const QString& text) {
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  napis(e, text);
}

// A stand-in with the host fixture, and a program folder whose settings point at it.
class DbOkno : public Okno {
 public:
  explicit DbOkno(bool seed = true) {
    if (seed) dorvik::test::seedHostDatabase(server, "vorlak");
    zapisnastaveni(nastaveni());
  }
  Nastaveni nastaveni() const {
    Nastaveni n;
    n.serverportle = server.serverPort();
    n.jmenole = "sa";
    n.heslole = "Heslo1";
    n.databazecb = "vorlak";
    n.chatusercb = "Petr";
    return n;
  }
  // Runs a statement on a connection of the test's own.
  void sql(const std::string& text) {
    db::Statement q(pripojeni());
    q.execute(text);
  }
  // The rows of a query, each column as text joined by "|".
  QStringList radky(const std::string& text) {
    db::Statement q(pripojeni());
    q.execute(text);
    QStringList out;
    while (q.next()) {
      QStringList row;
      for (std::size_t i = 0; i < q.columnCount(); ++i) row << QString::fromStdString(q.field(i).asText());
      out << row.join(QLatin1Char('|'));
    }
    return out;
  }
  db::Connection& pripojeni() {
    if (!con_.isOpen()) con_.open(server.connectionString("vorlak"), 10);
    return con_;
  }

  dorvik::test::StandinServer server;

 private:
  db::Connection con_;
};

const char* kUlohaSloupce = "druh,zprava,uzivatele,kam,doemailu,dochatu,dni,cas,platnostdo,aktivni";

// Ticks the named users in the open picker and confirms.
void zaskrtni(const QStringList& names) {
  azseotevre([names](QWidget* modal) {
    auto* list = modal->findChild<QListWidget*>(QStringLiteral("uchlb"));
    for (int i = 0; i < list->count(); ++i) {
      if (names.contains(list->item(i)->text())) list->item(i)->setCheckState(Qt::Checked);
    }
    QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("potvrditb")), Qt::LeftButton);
  });
}

// The names shown in the open picker with their ticks, then closes it with "zrušit".
void prectiazrus(QStringList& seen) {
  azseotevre([&seen](QWidget* modal) {
    auto* list = modal->findChild<QListWidget*>(QStringLiteral("uchlb"));
    for (int i = 0; i < list->count(); ++i) {
      seen << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? QStringLiteral("+") : QString());
    }
    QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("zrusitb")), Qt::LeftButton);
  });
}

QString datum(const QDate& d) { return QString::fromStdString(datumcas(DateTime{d.year(), d.month(), d.day()})); }

}  // namespace

class DbTest : public QObject {
  Q_OBJECT

 private slots:
  void freshDatabaseIsPreparedAndListsOpen() {
    DbOkno o;
    TForm1& f = o.otevri();
    QVERIFY2(o.dialogs.boxes.empty(), qPrintable(o.dialogs.texts().join(QLatin1Char('\n'))));
    for (const char* t : {"chat", "zpravychat", "ulohy", "historieagent"}) QVERIFY2(tabulkaexistuje(o.pripojeni(), t), t);
    QVERIFY(f.zakazky()->model()->isOpen() && f.zarizeni()->model()->isOpen() && f.zalohovani()->model()->isOpen());
    auto* chat = o.najdi<QComboBox>("chatusercb");
    QStringList users;
    for (int i = 0; i < chat->count(); ++i) users << chat->itemText(i);
    QCOMPARE(users, (QStringList{"Jana", "Petr", "Žofie", "Admin"}));
    QCOMPARE(chat->currentText(), QStringLiteral("Petr"));
    auto* databazecb = o.najdi<QComboBox>("databazecb");
    QVERIFY(databazecb->findText(QStringLiteral("master")) >= 0 && databazecb->findText(QStringLiteral("vorlak")) >= 0);
    QCOMPARE(databazecb->currentText(), QStringLiteral("vorlak"));
    QCOMPARE(f.sapc()->currentIndex(), 0);
  }

  void connectionTestShowsServerAndRestoresSender() {
    DbOkno o;
    o.otevri();
    auto* chat = o.najdi<QComboBox>("chatusercb");
    chat->setEditText(QStringLiteral("Jana"));
    klikni(o.najdi<QPushButton>("testdbb"));
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    const Box& box = o.dialogs.boxes[0];
    QCOMPARE(box.caption, QStringLiteral("Informace"));
    QCOMPARE(box.ikona, Ikona::Informace);
    QVERIFY2(box.text.startsWith(QStringLiteral("připojeno k: STANDIN\r")), qPrintable(box.text));
    QVERIFY2(box.text.endsWith(QStringLiteral("\r\ndatabáze:vorlak")), qPrintable(box.text));
    // The stored sender comes back: the in-memory settings change only on closing.
    QCOMPARE(chat->currentText(), QStringLiteral("Petr"));
  }

  void databaseListWithoutDatabaseLeavesListsClosed() {
    DbOkno o;
    Nastaveni n = o.nastaveni();
    n.databazecb.clear();
    o.zapisnastaveni(n);
    TForm1& f = o.otevri();
    auto* databazecb = o.najdi<QComboBox>("databazecb");
    databazecb->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return databazecb->count() > 0; }, 30000));
    QVERIFY(databazecb->findText(QStringLiteral("vorlak")) >= 0);
    QVERIFY(databazecb->currentText().isEmpty());
    QVERIFY(f.con().isOpen());
    QVERIFY(!f.zakazky()->model()->isOpen());
    QVERIFY(o.dialogs.boxes.empty());
  }

  void missingHostTableFailsTheAttempt() {
    DbOkno o(/*seed=*/false);  // no users table
    TForm1& f = o.otevri();
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QVERIFY2(o.dialogs.boxes[0].text.startsWith(QStringLiteral("DatabaseError: ")), qPrintable(o.dialogs.boxes[0].text));
    QVERIFY(f.logre()->toPlainText().contains(QStringLiteral(" chyba: DatabaseError, ")));
    // The agent tables were still created before the lists were opened.
    QVERIFY(tabulkaexistuje(o.pripojeni(), "ulohy"));
  }

  void masterGetsNoAgentTables() {
    DbOkno o;
    Nastaveni n = o.nastaveni();
    n.databazecb = "master";
    o.zapisnastaveni(n);
    TForm1& f = o.otevri();
    // Nothing is created in master, so its task lists cannot open: a failed attempt.
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QVERIFY(o.dialogs.boxes[0].text.startsWith(QStringLiteral("DatabaseError: ")));
    QVERIFY(!f.zakazky()->model()->isOpen());
    db::Connection master;
    master.open(o.server.connectionString("master"), 10);
    for (const char* t : {"chat", "zpravychat", "ulohy", "historieagent"}) QVERIFY2(!tabulkaexistuje(master, t), t);
  }

  void saveValidation_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("success");
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<bool>("mail");
    QTest::addColumn<bool>("chat");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("focus");
    QTest::newRow("order, blanks only") << 1 << QStringLiteral("  \n ") << QString() << QStringLiteral("Jana;") << true << true
                                        << QStringLiteral("Zpráva pro odeslání není zadána.") << QStringLiteral("zpravazakm");
    QTest::newRow("device, no recipients") << 2 << QStringLiteral("text") << QString() << QStringLiteral("   ") << true << true
                                           << QStringLiteral("Příjemci zprávy nejsou zadáni.") << QStringLiteral("uzivatelezarle");
    QTest::newRow("order, no target") << 1 << QStringLiteral("text") << QString() << QStringLiteral("Jana;") << false << false
                                      << QStringLiteral("Není vybrán cíl zprávy") << QStringLiteral("doemailuzakchb");
    QTest::newRow("backup, both texts empty") << 3 << QString() << QString() << QStringLiteral("Jana;") << true << true
                                              << QStringLiteral("Zpráva pro odeslání není zadána.") << QStringLiteral("uspechle");
    QTest::newRow("backup, no target") << 3 << QStringLiteral("selhalo") << QStringLiteral("ok") << QStringLiteral("Jana;")
                                       << false << false << QStringLiteral("Není vybrán cíl zprávy")
                                       << QStringLiteral("doemailuzalohachb");
  }
  void saveValidation() {
    QFETCH(int, tab);
    QFETCH(QString, message);
    QFETCH(QString, success);
    QFETCH(QString, recipients);
    QFETCH(bool, mail);
    QFETCH(bool, chat);
    QFETCH(QString, expected);
    QFETCH(QString, focus);
    DbOkno o;
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(tab);
    EditorUloh* e = tab == 1 ? f.zakazky() : tab == 2 ? f.zarizeni() : f.zalohovani();
    if (tab == 3) {
      prepis(e->findChild<QLineEdit*>(QStringLiteral("uspechle")), success);
      prepis(e->findChild<QLineEdit*>(QStringLiteral("neuspechle")), message);
    } else {
      auto* memo = e->findChildren<QPlainTextEdit*>().constFirst();
      memo->setFocus();
      napis(memo, message);
    }
    prepis(e->prijemci(), recipients);
    const auto boxes = e->findChildren<QCheckBox*>();
    for (QCheckBox* b : boxes) {
      if (b->objectName().startsWith(QLatin1String("doemailu")) && b->isChecked() != mail) QTest::mouseClick(b, Qt::LeftButton);
      if (b->objectName().startsWith(QLatin1String("dochatu")) && b->isChecked() != chat) QTest::mouseClick(b, Qt::LeftButton);
    }
    o.dialogs.clear();
    klikni(e->findChild<QPushButton*>(QString::fromLatin1(e->druh().pridat)));
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(o.dialogs.boxes[0], (Box{QStringLiteral("chyba"), expected, Ikona::Chyba}));
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(o.radky("select count(*) from ulohy"), QStringList{QStringLiteral("0")});
  }

  void insertThenUpdateAnOrderTask() {
    DbOkno o;
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(1);
    auto* memo = o.najdi<QPlainTextEdit>("zpravazakm");
    memo->setFocus();
    napis(memo, QStringLiteral("  Zakázka [cislozakazky] se blíží  "));
    auto* dni = o.najdi<QSpinBox>("dnizakazkyse");
    dni->selectAll();
    napis(dni, QStringLiteral("-3"));
    zaskrtni({QStringLiteral("Petr"), QStringLiteral("Jana")});
    klikni(o.najdi<QPushButton>("uzakb"));
    QCOMPARE(o.najdi<QLineEdit>("uzivatelezakle")->text(), QStringLiteral("Jana;Petr;"));
    auto* cas = o.najdi<QTimeEdit>("zaktp");
    cas->setTime(QTime(8, 5));
    QTest::mouseClick(o.najdi<QCheckBox>("dochatuzakchb"), Qt::LeftButton);
    const DateTime pred = platform::localNow();
    klikni(o.najdi<QPushButton>("zakpridatb"));
    QVERIFY2(o.dialogs.boxes.empty(), qPrintable(o.dialogs.texts().join(QLatin1Char('\n'))));
    const QDate valid = QDate::currentDate().addDays(365);
    QCOMPARE(o.radky(std::string("select ") + kUlohaSloupce + " from ulohy"),
             QStringList{QStringLiteral("zakazka|Zakázka [cislozakazky] se blíží|Jana;Petr;||True|False|-3|30.12.1899 8:05:00|") +
                         datum(valid) + QStringLiteral("|True")});
    const QString zalozeno = o.radky("select zalozeno from ulohy").constFirst();
    QVERIFY(!zalozeno.isEmpty());
    Q_UNUSED(pred);
    // The editor is back to adding, and the grid shows the new row.
    QCOMPARE(memo->toPlainText(), QString());
    QCOMPARE(o.najdi<QLabel>("zakidl")->text(), QStringLiteral("0"));
    auto* grid = o.najdi<UlohyGrid>("zakazkygrid");
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->index(0, static_cast<int>(Pole::cas)).data().toString(), QStringLiteral("8:5"));

    // Double-click loads it; saving changes it and keeps its kind and creation time.
    const QRect cell = grid->visualRect(grid->model()->index(0, static_cast<int>(Pole::zprava)));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(o.najdi<QPushButton>("zakpridatb")->text(), QStringLiteral("aktualizovat"));
    QVERIFY(!o.najdi<QPushButton>("zakzrusitb")->isHidden());
    QCOMPARE(memo->toPlainText(), QStringLiteral("Zakázka [cislozakazky] se blíží"));
    QCOMPARE(dni->value(), -3);
    QCOMPARE(cas->time(), QTime(8, 5));
    QVERIFY(!o.najdi<QCheckBox>("dochatuzakchb")->isChecked());
    memo->selectAll();
    napis(memo, QStringLiteral("Nový text"));
    klikni(o.najdi<QPushButton>("zakpridatb"));
    QCOMPARE(o.radky("select druh, zprava, zalozeno from ulohy"),
             QStringList{QStringLiteral("zakazka|Nový text|") + zalozeno});
    QCOMPARE(o.najdi<QPushButton>("zakpridatb")->text(), QStringLiteral("přidat"));
    QVERIFY(o.najdi<QPushButton>("zakzrusitb")->isHidden());
  }

  void backupMessagesJoinAndSplit_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("success");
    QTest::addColumn<QString>("failure");
    QTest::newRow("two texts") << QStringLiteral("hotovo~selhalo") << QStringLiteral("hotovo") << QStringLiteral("selhalo");
    QTest::newRow("three pieces") << QStringLiteral("a~b~c") << QStringLiteral("a") << QStringLiteral("b");
    QTest::newRow("no tilde") << QStringLiteral("jen chyba") << QString() << QStringLiteral("jen chyba");
    QTest::newRow("empty success") << QStringLiteral("~chyba") << QString() << QStringLiteral("chyba");
  }
  void backupMessagesJoinAndSplit() {
    QFETCH(QString, stored);
    QFETCH(QString, success);
    QFETCH(QString, failure);
    DbOkno o;
    o.otevri();  // prepares ulohy
    o.sql("insert into ulohy (druh,zprava,uzivatele,kam,dni,cas,platnostdo,aktivni) values ('zalohovani',N'" +
          stored.toStdString() + "','Jana;','/srv/zal',0,'1899-12-30 00:30','2030-01-01',1)");
    o.zavri();
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(3);
    auto* grid = o.najdi<UlohyGrid>("zalohovanigrid");
    QCOMPARE(grid->model()->rowCount(), 1);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->visualRect(grid->model()->index(0, static_cast<int>(Pole::uzivatele))).center());
    QCOMPARE(o.najdi<QLineEdit>("uspechle")->text(), success);
    QCOMPARE(o.najdi<QLineEdit>("neuspechle")->text(), failure);
    QCOMPARE(o.najdi<QLineEdit>("uzle")->text(), QStringLiteral("/srv/zal"));
    // Saved again: joined by one "~", blanks trimmed, backups always 0 days.
    prepis(o.najdi<QLineEdit>("uspechle"), QStringLiteral("   "));
    klikni(o.najdi<QPushButton>("zalpridatb"));
    QCOMPARE(o.radky("select zprava, dni, kam from ulohy"), QStringList{QStringLiteral("~") + failure + QStringLiteral("|0|/srv/zal")});
    QCOMPARE(o.najdi<QLabel>("zalidl")->text(), QStringLiteral("0"));
    // The folder stays in its field after the reset.
    QCOMPARE(o.najdi<QLineEdit>("uzle")->text(), QStringLiteral("/srv/zal"));
  }

  void doubleClickOnEmptyGridKeepsEditor() {
    DbOkno o;
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(2);
    auto* memo = o.najdi<QPlainTextEdit>("zpravazarm");
    memo->setPlainText(QStringLiteral("rozepsáno"));
    auto* grid = o.najdi<UlohyGrid>("zarizenigrid");
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(memo->toPlainText(), QStringLiteral("rozepsáno"));
    QCOMPARE(o.najdi<QPushButton>("zarpridatb")->text(), QStringLiteral("přidat"));
  }

  void gridDeletionAndInPlaceEditing() {
    DbOkno o;
    o.otevri();
    for (const char* druh : {"zakazka", "zarizeni", "zarizeni"}) {
      o.sql(std::string("insert into ulohy (druh,zprava,uzivatele,kam,dni,cas,platnostdo,aktivni) values ('") + druh +
            "','z','Jana;','',1,'1899-12-30 00:20','2030-01-01',1)");
    }
    o.zavri();
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(2);
    auto* grid = o.najdi<UlohyGrid>("zarizenigrid");
    QCOMPARE(grid->model()->rowCount(), 2);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, static_cast<int>(Pole::zprava)));
    o.dialogs.answers = {false, true};
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(o.radky("select count(*) from ulohy where druh='zarizeni'"), QStringList{QStringLiteral("2")});
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(o.radky("select count(*) from ulohy where druh='zarizeni'"), QStringList{QStringLiteral("1")});
    QCOMPARE(o.dialogs.boxes[0], (Box{QStringLiteral("Confirm"), QStringLiteral("Delete record?"), Ikona::Otazka}));
    // A cell typed over in place goes straight to the table.
    grid->setCurrentIndex(grid->model()->index(0, static_cast<int>(Pole::zprava)));
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* cellEditor = QApplication::focusWidget();
    QVERIFY(cellEditor && cellEditor != grid);
    QTest::keyClick(cellEditor, Qt::Key_A, Qt::ControlModifier);
    napis(cellEditor, QStringLiteral("upraveno"));
    QTest::keyClick(cellEditor, Qt::Key_Return);
    // The grid commits the cell from its event loop.
    QTRY_COMPARE(grid->model()->index(0, static_cast<int>(Pole::zprava)).data().toString(), QStringLiteral("upraveno"));
    QCOMPARE(o.radky("select zprava from ulohy where druh='zarizeni'"), QStringList{QStringLiteral("upraveno")});
    // The order grid is read-only: Ctrl+Delete deletes nothing there.
    f.sapc()->setCurrentIndex(1);
    auto* zak = o.najdi<UlohyGrid>("zakazkygrid");
    zak->setFocus();
    zak->setCurrentIndex(zak->model()->index(0, static_cast<int>(Pole::zprava)));
    QTest::keyClick(zak, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(o.radky("select count(*) from ulohy where druh='zakazka'"), QStringList{QStringLiteral("1")});
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{2});
  }

  void pickerTicksLastUntilReconnect() {
    DbOkno o;
    o.otevri();
    zaskrtni({QStringLiteral("Žofie")});
    klikni(o.najdi<QPushButton>("uzakb"));
    QCOMPARE(o.najdi<QLineEdit>("uzivatelezakle")->text(), QStringLiteral("Žofie;"));
    QStringList seen;
    prectiazrus(seen);
    klikni(o.najdi<QPushButton>("uzarb"));
    QCOMPARE(seen, (QStringList{"Admin", "Jana", "Petr", "Žofie+"}));
    QVERIFY(o.najdi<QLineEdit>("uzivatelezarle")->text().isEmpty());
    // A connection test reads the list again, with nothing ticked.
    klikni(o.najdi<QPushButton>("testdbb"));
    seen.clear();
    prectiazrus(seen);
    klikni(o.najdi<QPushButton>("zalohovanib"));
    QCOMPARE(seen, (QStringList{"Admin", "Jana", "Petr", "Žofie"}));
  }

  void testBackupWritesAFile_data() {
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<bool>("works");
    QTest::newRow("plain folder") << QStringLiteral("zalohy") << true;
    QTest::newRow("folder with an apostrophe") << QStringLiteral("O'Brien") << true;
    QTest::newRow("missing folder") << QStringLiteral("neni/tu") << false;
  }
  void testBackupWritesAFile() {
    QFETCH(QString, subfolder);
    QFETCH(bool, works);
    DbOkno o;
    o.otevri();
    const QString folder = o.cesta(subfolder);
    if (works) QDir().mkpath(folder);
    o.form().sapc()->setCurrentIndex(3);
    prepis(o.najdi<QLineEdit>("uzle"), QStringLiteral("  ") + folder + QStringLiteral(" "));
    klikni(o.najdi<QPushButton>("testuzalohyb"));
    if (works) {
      QVERIFY2(o.dialogs.boxes.empty(), qPrintable(o.dialogs.texts().join(QLatin1Char('\n'))));
      const QStringList files = QDir(folder).entryList({QStringLiteral("vorlak_*.bak")}, QDir::Files);
      QCOMPARE(files.size(), 1);
    } else {
      QCOMPARE(o.dialogs.boxes.size(), std::size_t{2});
      QCOMPARE(o.dialogs.boxes[1].text,
               QStringLiteral("Pozor, chyba při vytváření zálohy, zkontrolujte nastavení sql serveru a dostupnost "
                              "úložiště ze serveru."));
      QVERIFY(!o.dialogs.boxes[0].text.isEmpty());
    }
  }

  void testMailReachesThePeer() {
    DbOkno o;
    dorvik::test::SmtpPeer peer;
    setMailErrorBox([&o](const std::string& text, const std::string& caption) {
      o.dialogs.zprava(QString::fromStdString(caption), QString::fromStdString(text), Ikona::Chyba);
    });
    o.otevri();
    prepis(o.najdi<QLineEdit>("osobale"), QStringLiteral("Servis Vorlak"));
    prepis(o.najdi<QLineEdit>("smtpjmenole"), QStringLiteral("uzivatel"));
    prepis(o.najdi<QLineEdit>("smtpheslole"), QStringLiteral("heslo"));
    prepis(o.najdi<QLineEdit>("smtpfromle"), QStringLiteral("servis@dilna.cz"));
    prepis(o.najdi<QLineEdit>("subjektle"), QStringLiteral("Zkouška"));
    prepis(o.najdi<QLineEdit>("smtpserverle"), QStringLiteral("127.0.0.1"));
    prepis(o.najdi<QLineEdit>("smtpportle"), QString::number(peer.tlsPort()));
    o.dialogs.inputAnswers = {QStringLiteral("jana@dilna.cz")};
    klikni(o.najdi<QPushButton>("testemailb"));
    QVERIFY2(o.dialogs.boxes.empty(), qPrintable(o.dialogs.texts().join(QLatin1Char('\n'))));
    QCOMPARE(peer.messageCount(), 1);
    const auto mail = peer.lastMessage();
    QCOMPARE(QString::fromStdString(mail.at("rcpt.0")), QStringLiteral("jana@dilna.cz"));
    QCOMPARE(QString::fromStdString(mail.at("header.subject")), QStringLiteral("Zkouška"));
    QCOMPARE(QString::fromStdString(mail.at("from.display_name")), QStringLiteral("Servis Vorlak"));
    QVERIFY(QString::fromStdString(mail.at("part.1.text")).startsWith(QStringLiteral("testovací zpráva")));

    // Nobody listening: the sender's own box first, then the window's.
    prepis(o.najdi<QLineEdit>("smtpportle"), QString::number(dorvik::test::closedPort()));
    o.dialogs.inputAnswers = {QStringLiteral("jana@dilna.cz")};
    klikni(o.najdi<QPushButton>("testemailb"));
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{2});
    QCOMPARE(o.dialogs.boxes[0].caption, QStringLiteral("chyba odesílání:"));
    QCOMPARE(o.dialogs.boxes[1].caption, QStringLiteral("chyba"));
    QCOMPARE(o.dialogs.boxes[1].text, o.dialogs.boxes[0].text);
    setMailErrorBox({});
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pouzijvzhled(app);
  DbTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "db_test.moc"
