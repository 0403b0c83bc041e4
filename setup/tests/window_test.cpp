// Tests of the setup tool's window that need no database: frame, settings file, layout store, logs, local editor rules.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include "setup/editor_uloh.h"
#include "setup/log_view.h"
#include "setup/tests/window_fixture.h"
#include "setup/tvybratuf.h"
#include "setup/ulohy_grid.h"
#include "setup/ulohy_model.h"
#include "setup/vzhled.h"

using namespace dorvik;
using namespace dorvik::setup;
using namespace dorvik::setup::test;

namespace {

// A server address where nothing listens: every attempt is refused at once.
const QString kNedostupny = QStringLiteral("127.0.0.1,1");

Nastaveni nedostupnanastaveni() {
  Nastaveni n;
  n.serverportle = kNedostupny.toStdString();
  n.jmenole = "sa";
  n.heslole = "heslo";
  n.databazecb = "vorlak";
  return n;
}

void klikni(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

void prepis(QLineEdit* e, const QString& text) {
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  napis(e, text);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void frameAndTabs() {
    Okno o;
    TForm1& f = o.otevri();
    QCOMPARE(f.windowTitle(), QStringLiteral("Dorvik setup"));
    const QStringList expected{QStringLiteral("nastavení"),          QStringLiteral("zakázky"),
                               QStringLiteral("zařízení"),           QStringLiteral("zálohování databáze"),
                               QStringLiteral("služba Dorvik"),      QStringLiteral("log agent"),
                               QStringLiteral("log služba"),         QStringLiteral("o programu")};
    QStringList captions;
    for (int i = 0; i < f.sapc()->count(); ++i) captions << f.sapc()->tabText(i);
    QCOMPARE(captions, expected);
    QCOMPARE(f.sapc()->currentIndex(), 0);
    QCOMPARE(o.najdi<QLineEdit>("heslole")->echoMode(), QLineEdit::Password);
    QCOMPARE(o.najdi<QLineEdit>("smtpheslole")->echoMode(), QLineEdit::Password);
    QCOMPARE(o.najdi<QPushButton>("startb")->text(), QStringLiteral("start"));
    QCOMPARE(o.najdi<QPushButton>("instalovatb")->text(), QStringLiteral("instalovat"));
  }

  void defaultsWithoutSettingsFile() {
    Okno o;
    o.otevri();
    QCOMPARE(o.najdi<QLineEdit>("serverportle")->text(), QStringLiteral("localhost,1433"));
    QCOMPARE(o.najdi<QLineEdit>("jmenole")->text(), QStringLiteral("sa"));
    QCOMPARE(o.najdi<QSpinBox>("dvscse")->value(), 60);
    // Nothing was connected: the password is empty.
    QVERIFY(o.dialogs.boxes.empty());
    QVERIFY(o.form().logre()->toPlainText().isEmpty());
    o.zavri();
    // Closing writes the file even though nothing changed and nothing ever connected.
    QCOMPARE(o.prectinastaveni(), Nastaveni{});
    QVERIFY(QFile::exists(o.cesta(QStringLiteral("dorvik"))));
  }

  void typedSettingsAreSavedUntrimmed_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("server") << QByteArray("serverportle") << QStringLiteral(" srv , 1450 ");
    QTest::newRow("password with blanks") << QByteArray("heslole") << QStringLiteral("tajné heslo");
    QTest::newRow("sender name") << QByteArray("osobale") << QStringLiteral("Servis Žluťoučký");
    QTest::newRow("smtp port") << QByteArray("smtpportle") << QStringLiteral("2525");
    QTest::newRow("subject") << QByteArray("subjektle") << QStringLiteral("Zkouška");
  }
  void typedSettingsAreSavedUntrimmed() {
    QFETCH(QByteArray, field);
    QFETCH(QString, typed);
    Okno o;
    o.otevri();
    prepis(o.najdi<QLineEdit>(field.constData()), typed);
    o.zavri();
    IniDocument ini;
    QVERIFY(loadSettingsFile(ini, o.slozka() + "dorvik"));
    const std::string section = field == "serverportle" || field == "heslole" ? "con" : "mail";
    // Leading and trailing blanks are lost on reading back (by the file's rules); the inner text is kept.
    QCOMPARE(QString::fromStdString(ini.readString(section, field.toStdString(), "?")), typed.trimmed());
  }

  void settingsLoadIntoFieldsAndDvscse() {
    Okno o;
    Nastaveni n;
    n.serverportle = "db.local,1500";
    n.jmenole = "admin";
    n.osobale = "Dílna";
    n.smtpportle = "465";
    n.chatusercb = "novak";
    n.dvscse = 120;
    o.zapisnastaveni(n);
    o.otevri();
    QCOMPARE(o.najdi<QLineEdit>("serverportle")->text(), QStringLiteral("db.local,1500"));
    QCOMPARE(o.najdi<QLineEdit>("osobale")->text(), QStringLiteral("Dílna"));
    QCOMPARE(o.najdi<QComboBox>("chatusercb")->currentText(), QStringLiteral("novak"));
    QCOMPARE(o.najdi<QSpinBox>("dvscse")->value(), 120);
    o.zavri();
    QCOMPARE(o.prectinastaveni(), n);
  }

  void startWithoutPasswordConnectsNothing() {
    Okno o;
    Nastaveni n = nedostupnanastaveni();
    n.heslole.clear();
    o.zapisnastaveni(n);
    TForm1& f = o.otevri();
    QVERIFY(o.dialogs.boxes.empty());
    QVERIFY(f.logre()->toPlainText().isEmpty());
    QVERIFY(!f.con().isOpen());
    QCOMPARE(f.zakazky()->model()->rowCount(), 0);
  }

  void startWithUnreachableServerReportsAndLogs() {
    Okno o;
    o.zapisnastaveni(nedostupnanastaveni());
    o.zapissoubor(QStringLiteral("dvgrid.ini"), "[Form1]\r\n");
    TForm1& f = o.otevri();
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(o.dialogs.boxes[0].caption, QStringLiteral("chyba"));
    QVERIFY2(o.dialogs.boxes[0].text.startsWith(QStringLiteral("DatabaseError: ")), qPrintable(o.dialogs.boxes[0].text));
    QCOMPARE(o.dialogs.boxes[0].ikona, Ikona::Chyba);
    const QString line = f.logre()->toPlainText();
    QVERIFY2(line.contains(QStringLiteral(": 127.0.0.1 chyba: DatabaseError, ")), qPrintable(line));
    QCOMPARE(f.sapc()->currentIndex(), 0);
    // Showing "log agent" while dvlog.txt is missing writes the collected line into a new file.
    f.sapc()->setCurrentIndex(5);
    QCOMPARE(o.prectisoubor(QStringLiteral("dvlog.txt")), QByteArray("\xEF\xBB\xBF") + line.toUtf8());
  }

  void portThatIsNoNumberReachesTheDefaultErrorBox() {
    Okno o;
    o.otevri();
    prepis(o.najdi<QLineEdit>("serverportle"), QStringLiteral("srv,"));
    klikni(o.najdi<QPushButton>("testdbb"));
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(o.dialogs.boxes[0].caption, QStringLiteral("dorvik"));
    QVERIFY2(o.dialogs.boxes[0].text.contains(QStringLiteral("not a valid integer value")),
             qPrintable(o.dialogs.boxes[0].text));
    QVERIFY(o.form().logre()->toPlainText().isEmpty());
  }

  void databaseBoxEntryWithTextConnectsNothing() {
    Okno o;
    Nastaveni n = nedostupnanastaveni();
    n.heslole.clear();  // no connection at start
    o.zapisnastaveni(n);
    o.otevri();
    prepis(o.najdi<QLineEdit>("heslole"), QStringLiteral("x"));
    auto* databazecb = o.najdi<QComboBox>("databazecb");
    databazecb->setFocus();
    QTest::qWait(50);
    QVERIFY(o.dialogs.boxes.empty());
    // Cleared and entered again: the list is fetched (here the attempt fails and says so).
    o.najdi<QLineEdit>("serverportle")->setFocus();
    databazecb->setEditText(QString());
    databazecb->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return !o.dialogs.boxes.empty(); }, 30000));
    QVERIFY(o.dialogs.boxes[0].text.startsWith(QStringLiteral("DatabaseError: ")));
  }

  void emptyPasswordStopsTheListButNotTheTest() {
    Okno o;
    Nastaveni n = nedostupnanastaveni();
    n.heslole.clear();
    n.databazecb.clear();
    o.zapisnastaveni(n);
    o.otevri();
    o.najdi<QComboBox>("databazecb")->setFocus();
    QTest::qWait(50);
    QVERIFY(o.dialogs.boxes.empty());
    klikni(o.najdi<QPushButton>("testdbb"));
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QVERIFY(o.dialogs.boxes[0].text.startsWith(QStringLiteral("DatabaseError: ")));
  }

  void mailTestChecksFieldsThenAsks_data() {
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("complaint");
    QTest::newRow("login missing") << QString() << QStringLiteral("servis@dilna.cz") << true;
    QTest::newRow("sender address invalid") << QStringLiteral("servis") << QStringLiteral("servis@cz") << true;
    QTest::newRow("all filled in") << QStringLiteral("servis") << QStringLiteral("servis@dilna.cz") << false;
  }
  void mailTestChecksFieldsThenAsks() {
    QFETCH(QString, login);
    QFETCH(QString, from);
    QFETCH(bool, complaint);
    Okno o;
    o.otevri();
    prepis(o.najdi<QLineEdit>("smtpjmenole"), login);
    prepis(o.najdi<QLineEdit>("smtpheslole"), QStringLiteral("pw"));
    prepis(o.najdi<QLineEdit>("smtpserverle"), QStringLiteral("127.0.0.1"));
    prepis(o.najdi<QLineEdit>("smtpportle"), QStringLiteral("1"));
    prepis(o.najdi<QLineEdit>("smtpfromle"), from);
    // Cancelled, then an address that fails the check: neither sends nor says anything.
    o.dialogs.inputAnswers = {std::nullopt, QStringLiteral("nikdo@x")};
    for (int i = 0; i < 2; ++i) klikni(o.najdi<QPushButton>("testemailb"));
    QCOMPARE(o.dialogs.inputs.size(), std::size_t{2});
    QCOMPARE(o.dialogs.inputs[0].caption, QStringLiteral("zadejte cílový email"));
    QCOMPARE(o.dialogs.inputs[0].text, QStringLiteral("|"));
    const QStringList expected = complaint ? QStringList(2, QStringLiteral("Nejsou vyplněny potřebné údaje.")) : QStringList();
    QCOMPARE(o.dialogs.texts(), expected);
  }

  void editorsStartInAddingState_data() {
    QTest::addColumn<QByteArray>("tab");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("time");
    QTest::addColumn<QString>("expectedTime");
    QTest::newRow("orders") << QByteArray("zakazkyts") << QByteArray("zak") << QByteArray("zaktp") << QStringLiteral("0:10");
    QTest::newRow("devices") << QByteArray("zarizenits") << QByteArray("zar") << QByteArray("zartp") << QStringLiteral("0:20");
    QTest::newRow("backups") << QByteArray("zalohovanits") << QByteArray("zal") << QByteArray("zalohadbtp") << QStringLiteral("0:30");
  }
  void editorsStartInAddingState() {
    QFETCH(QByteArray, tab);
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, time);
    QFETCH(QString, expectedTime);
    Okno o;
    o.otevri();
    auto* editor = o.najdi<EditorUloh>(tab.constData());
    QCOMPARE(editor->findChild<QTimeEdit*>(QString::fromLatin1(time))->text(), expectedTime);
    QCOMPARE(editor->findChild<QLabel*>(QString::fromLatin1(prefix + "idl"))->text(), QStringLiteral("0"));
    QCOMPARE(editor->findChild<QPushButton*>(QString::fromLatin1(prefix + "pridatb"))->text(), QStringLiteral("přidat"));
    QVERIFY(editor->findChild<QPushButton*>(QString::fromLatin1(prefix + "zrusitb"))->isHidden());
    const auto boxes = editor->findChildren<QCheckBox*>();
    QCOMPARE(boxes.size(), 3);
    for (const QCheckBox* b : boxes) QVERIFY2(b->isChecked(), qPrintable(b->objectName()));
    const auto dates = editor->findChildren<QDateEdit*>();
    QCOMPARE(dates.size(), 1);
    QCOMPARE(dates[0]->date(), QDate::currentDate().addDays(365));
  }

  void saveWithoutReachableDatabaseStops() {
    Okno o;
    o.otevri();
    prepis(o.najdi<QLineEdit>("serverportle"), kNedostupny);
    o.form().sapc()->setCurrentIndex(1);
    auto* memo = o.najdi<QPlainTextEdit>("zpravazakm");
    memo->setFocus();
    napis(memo, QStringLiteral("  Zakázka [cislozakazky]  "));
    klikni(o.najdi<QPushButton>("zakpridatb"));
    const QStringList texts = o.dialogs.texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts[0].startsWith(QStringLiteral("DatabaseError: ")), qPrintable(texts[0]));
    QCOMPARE(texts[1], QStringLiteral("Nelze přidat úlohu, připojení k databázi není dostupné."));
    // The trimming has happened; the editor keeps its content.
    QCOMPARE(memo->toPlainText(), QStringLiteral("Zakázka [cislozakazky]"));
  }

  void gridLayoutIsRestoredAndStored() {
    Okno o;
    o.zapissoubor(QStringLiteral("dvgrid.ini"),
                  "[Form1]\r\nWidth=900\r\nHeight=600\r\nzarizenigrid.zprava=5,150\r\nzakazkygrid.kam=2,70\r\n"
                  "zalohovanigrid.aktivni=0,-1\r\nzakazkygrid.cas=nonsense\r\n");
    o.otevri();
    QCOMPARE(o.form().size(), QSize(900, 600));
    auto* zar = o.najdi<UlohyGrid>("zarizenigrid");
    const int zprava = static_cast<int>(Pole::zprava);
    QCOMPARE(zar->columnWidth(zprava), 150);
    QCOMPARE(zar->horizontalHeader()->visualIndex(zprava), 5);
    auto* zak = o.najdi<UlohyGrid>("zakazkygrid");
    QVERIFY(!zak->isColumnHidden(static_cast<int>(Pole::kam)));
    QCOMPARE(zak->columnWidth(static_cast<int>(Pole::kam)), 70);
    QVERIFY(!zak->isColumnHidden(static_cast<int>(Pole::cas)));
    QVERIFY(o.najdi<UlohyGrid>("zalohovanigrid")->isColumnHidden(static_cast<int>(Pole::aktivni)));
    o.zavri();
    const QString ini = QString::fromUtf8(o.prectisoubor(QStringLiteral("dvgrid.ini")));
    for (const char* line : {"[Form1]", "zakazkygrid.id=0,-1", "zarizenigrid.zprava=5,150", "zakazkygrid.kam=2,70",
                             "zalohovanigrid.aktivni=0,-1", "Width=900"}) {
      QVERIFY2(ini.contains(QString::fromLatin1(line)), line);
    }
    QVERIFY(ini.contains(QRegularExpression(QStringLiteral("zalohovanigrid\\.dni=\\d+,-1"))));
  }

  void columnChooserKeepsOneColumn() {
    Okno o;
    o.otevri();
    auto* grid = o.najdi<UlohyGrid>("zarizenigrid");
    auto setTicks = [](QDialog* chooser, const std::function<Qt::CheckState(const QString&)>& tick) {
      auto* list = chooser->findChild<QListWidget*>(QStringLiteral("sloupce"));
      for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(tick(list->item(i)->text()));
      QTest::mouseClick(chooser->findChild<QPushButton*>(QStringLiteral("okb")), Qt::LeftButton);
    };
    // Everything unticked: the warning, and the chooser stays open; then only "kam" and "zpráva".
    QTimer::singleShot(0, [&] {
      auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(chooser);
      QCOMPARE(chooser->windowTitle(), QStringLiteral("Select columns"));
      setTicks(chooser, [](const QString&) { return Qt::Unchecked; });
      QVERIFY(chooser->isVisible());
      setTicks(chooser, [](const QString& t) {
        return t == QStringLiteral("kam") || t == QStringLiteral("zpráva") ? Qt::Checked : Qt::Unchecked;
      });
    });
    grid->vyberSloupcu();
    QCOMPARE(o.dialogs.texts(), QStringList{QStringLiteral("At least one column must be visible!")});
    QCOMPARE(o.dialogs.boxes[0].ikona, Ikona::Varovani);
    for (int c = 0; c < kPocetPoli; ++c) {
      const bool shown = c == static_cast<int>(Pole::kam) || c == static_cast<int>(Pole::zprava);
      QCOMPARE(grid->isColumnHidden(c), !shown);
    }
    o.zavri();
    QVERIFY(QString::fromUtf8(o.prectisoubor(QStringLiteral("dvgrid.ini"))).contains(QStringLiteral("zarizenigrid.dni=5,-1")));
  }

  void logViewsShowTheirOwnFiles() {
    Okno o;
    o.zapissoubor(QStringLiteral("dvlog.txt"), "10.12.2026 8:10:00: runner line\r\n");
    o.zapissoubor(QStringLiteral("dvsc/dvsc.log"), "service line\r\n");
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(6);
    QCOMPARE(f.logsluzbare()->toPlainText(), QStringLiteral("service line\n"));
    f.sapc()->setCurrentIndex(5);
    QCOMPARE(f.logre()->toPlainText(), QStringLiteral("10.12.2026 8:10:00: runner line\n"));
    // Typed text is lost when the tab is shown again while its file exists.
    napis(f.logre(), QStringLiteral("typed"));
    f.sapc()->setCurrentIndex(0);
    f.sapc()->setCurrentIndex(5);
    QCOMPARE(f.logre()->toPlainText(), QStringLiteral("10.12.2026 8:10:00: runner line\n"));
  }

  void logDecoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" "chyba spojen\xC3\xAD") << QStringLiteral("chyba spojení");
    QTest::newRow("UTF-8 as the runner writes it") << QByteArray("chyba spojen\xC3\xAD") << QStringLiteral("chyba spojení");
    QTest::newRow("Windows-1250") << QByteArray("chyba spojen\xED " "\x9A") << QStringLiteral("chyba spojení š");
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFEo\0k\0", 6) << QStringLiteral("ok");
    QTest::newRow("mark, then the runner's lines") << QByteArray("\xEF\xBB\xBF" "a\r\n\xC5\xBE\r\n") << QStringLiteral("a\nž\n");
  }
  void logDecoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(dekodujlog(bytes), shown.contains(QLatin1Char('\n')) ? QString(shown).replace(QStringLiteral("\n"), QStringLiteral("\r\n")) : shown);
  }

  void emptyingALog_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("yes");
    QTest::newRow("runner log, yes") << 5 << true;
    QTest::newRow("service log, yes") << 6 << true;
    QTest::newRow("runner log, no") << 5 << false;
  }
  void emptyingALog() {
    QFETCH(int, tab);
    QFETCH(bool, yes);
    Okno o;
    o.zapissoubor(QStringLiteral("dvlog.txt"), "runner\r\n");
    o.zapissoubor(QStringLiteral("dvsc/dvsc.log"), "service\r\n");
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(tab);
    LogView* view = tab == 5 ? f.logre() : f.logsluzbare();
    o.dialogs.answers = {yes};
    // The pop-up menu over the view, its one item chosen.
    QTimer::singleShot(0, [] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      QCOMPARE(menu->actions().size(), 1);
      QCOMPARE(menu->actions()[0]->text(), QStringLiteral("vymazat"));
      menu->actions()[0]->trigger();
      menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &event);
    QCOMPARE(o.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(o.dialogs.boxes[0], (Box{QStringLiteral("Otázka"), QStringLiteral("Opravdu vymazat log?"), Ikona::Otazka}));
    const QByteArray runner = o.prectisoubor(QStringLiteral("dvlog.txt"));
    const QByteArray service = o.prectisoubor(QStringLiteral("dvsc/dvsc.log"));
    QCOMPARE(runner, yes && tab == 5 ? QByteArray("\xEF\xBB\xBF") : QByteArray("runner\r\n"));
    QCOMPARE(service, yes && tab == 6 ? QByteArray("\xEF\xBB\xBF") : QByteArray("service\r\n"));
    QCOMPARE(view->toPlainText().isEmpty(), yes);
  }

  void missingServiceLogIsCreated() {
    Okno o;
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(6);
    QCOMPARE(o.prectisoubor(QStringLiteral("dvsc/dvsc.log")), QByteArray("\xEF\xBB\xBF"));
    QVERIFY(o.dialogs.boxes.empty());
  }

  void testBackupNeedsThreeCharacters_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("two characters") << QStringLiteral("ab");
    QTest::newRow("two characters in blanks") << QStringLiteral("   ab   ");
    QTest::newRow("empty") << QString();
  }
  void testBackupNeedsThreeCharacters() {
    QFETCH(QString, folder);
    Okno o;
    Nastaveni n;
    n.serverportle = kNedostupny.toStdString();
    o.zapisnastaveni(n);
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(3);
    prepis(o.najdi<QLineEdit>("uzle"), folder);
    klikni(o.najdi<QPushButton>("testuzalohyb"));
    QVERIFY(o.dialogs.boxes.empty());
    QVERIFY(f.logre()->toPlainText().isEmpty());
  }

  void testBackupWithoutDatabase() {
    Okno o;
    Nastaveni n;
    n.serverportle = kNedostupny.toStdString();
    o.zapisnastaveni(n);
    TForm1& f = o.otevri();
    f.sapc()->setCurrentIndex(3);
    prepis(o.najdi<QLineEdit>("uzle"), QStringLiteral("  /tmp/zalohy  "));
    klikni(o.najdi<QPushButton>("testuzalohyb"));
    const QStringList texts = o.dialogs.texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[0].startsWith(QStringLiteral("DatabaseError: ")));
    QCOMPARE(texts[1], QStringLiteral("Nelze vytvořit zálohu, připojení k databázi není dostupné."));
    QCOMPARE(o.najdi<QLineEdit>("uzle")->text(), QStringLiteral("  /tmp/zalohy  "));
  }

  void folderChoiceStartsAtProgramFolder() {
    Okno o;
    o.otevri();
    auto* uzle = o.najdi<QLineEdit>("uzle");
    uzle->setText(QStringLiteral("/srv/zalohy"));
    o.dialogs.folderAnswers = {std::nullopt, QStringLiteral("/srv/nove")};
    klikni(o.najdi<QPushButton>("vybratuzalohyb"));
    QCOMPARE(uzle->text(), QStringLiteral("/srv/zalohy"));
    klikni(o.najdi<QPushButton>("vybratuzalohyb"));
    QCOMPARE(uzle->text(), QStringLiteral("/srv/nove"));
    QCOMPARE(o.dialogs.folderStarts, (std::vector<QString>(2, QString::fromStdString(o.slozka()))));
  }

  void pickerWithoutDatabase() {
    Okno o;
    o.otevri();
    prepis(o.najdi<QLineEdit>("serverportle"), kNedostupny);
    auto* field = o.najdi<QLineEdit>("uzivatelezakle");
    field->setText(QStringLiteral("novak;"));
    azseotevre([](QWidget* modal) {
      auto* picker = qobject_cast<Tvybratuf*>(modal);
      QVERIFY(picker);
      QCOMPARE(picker->windowTitle(), QStringLiteral("vybrat uživatele"));
      QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("potvrditb")), Qt::LeftButton);
    });
    klikni(o.najdi<QPushButton>("uzakb"));
    const QStringList texts = o.dialogs.texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[0].startsWith(QStringLiteral("DatabaseError: ")));
    QCOMPARE(texts[1], QStringLiteral("Připojení k databázi není dostupné."));
    // Confirmed with nothing ticked: the field empties.
    QCOMPARE(field->text(), QString());
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pouzijvzhled(app);
  WindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
