// The service page against the machine's own service manager (none on the build machines: the page says so),
// the state-to-caption table and the service program's command lines.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "setup/servicemanager/servicemanager.h"
#include "setup/soubory_programu.h"
#include "setup/sprava_sluzby.h"
#include "setup/tests/window_fixture.h"

using namespace dorvik;
using namespace dorvik::setup;
using namespace dorvik::setup::test;

namespace {

constexpr int kSluzbats = 4;

// Whether this machine answers service questions at all.
std::optional<std::string> chybasspravcem() {
  try {
    stavsluzby(kSluzba);
    return std::nullopt;
  } catch (const std::exception& e) {
    return std::string(e.what());
  }
}

// A program folder, with blanks in its path, and the window over it.
class Stranka {
 public:
  Stranka() {
    slozka_ = dir_.path() + QStringLiteral("/program s mezerou/");
    QDir().mkpath(slozka_ + QStringLiteral("dvsc"));
    form_ = otevrenookno(slozka_.toStdString(), dialogs);
  }
  QString slozka() const { return slozka_; }
  TForm1& form() { return *form_; }
  template <typename W>
  W* najdi(const char* name) {
    return najdiprvek<W>(form_.get(), name);
  }
  void klikni(const char* name) { QTest::mouseClick(najdi<QPushButton>(name), Qt::LeftButton); }
  // A service program that writes its arguments into "<its folder>/prikazy" and ends.
  void nainstalujskript() {
    QFile f(slozka_ + souborsluzby());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/prikazy\"\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner));
  }
  QByteArray prikazy() const {
    QFile f(slozka_ + QStringLiteral("dvsc/prikazy"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  RecordingDialogs dialogs;

 private:
  QTemporaryDir dir_;
  QString slozka_;
  std::unique_ptr<TForm1> form_;
};

const QString kPrava = QStringLiteral("Chyba nedostatečné oprávnění.");

}  // namespace

class SluzbaTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { nahradjespravce([] { return true; }); }

  void stateDecidesCaptions_data() {
    QTest::addColumn<QString>("stav");
    QTest::addColumn<QString>("pred");  // startb's caption before
    QTest::addColumn<QString>("startb");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("instalovatb");
    QTest::newRow("not installed") << "nenainstalováno" << "start" << "start" << false << "instalovat";
    QTest::newRow("stopped") << "vypnuto" << "start" << "spustit" << true << "odinstalovat";
    QTest::newRow("paused") << "pozastaveno" << "zastavit" << "spustit" << true << "odinstalovat";
    QTest::newRow("running") << "spuštěno" << "spustit" << "zastavit" << true << "odinstalovat";
    QTest::newRow("pending keeps the caption") << "pending" << "zastavit" << "zastavit" << true << "odinstalovat";
    QTest::newRow("pending before any state") << "pending" << "start" << "start" << true << "odinstalovat";
  }
  void stateDecidesCaptions() {
    QFETCH(QString, stav);
    QFETCH(QString, pred);
    QFETCH(QString, startb);
    QFETCH(bool, enabled);
    QFETCH(QString, instalovatb);
    const VzhledSluzby v = vzhledsluzby(stav, pred);
    QCOMPARE(v.startb, startb);
    QCOMPARE(v.startbEnabled, enabled);
    QCOMPARE(v.instalovatb, instalovatb);
  }

  void commandLineQuotesTheProgram() {
    QCOMPARE(prikazsluzby(QStringLiteral("/opt/můj dorvik/"), "/install"),
             QStringLiteral("\"/opt/můj dorvik/") + souborsluzby() + QStringLiteral("\" /install"));
  }

  void pageSaysWhyNoStateIsShown() {
    const auto chyba = chybasspravcem();
    if (!chyba) QSKIP("this machine has a service manager");
    Stranka s;
    s.form().sapc()->setCurrentIndex(kSluzbats);
    const QString stav = s.najdi<QLabel>("stavsluzbyl")->text();
    QVERIFY2(stav.contains(QString::fromStdString(*chyba)), qPrintable(stav));
    QVERIFY(!s.najdi<QPushButton>("startb")->isEnabled());
    QVERIFY(!s.najdi<QPushButton>("instalovatb")->isEnabled());
    QVERIFY(s.najdi<QPushButton>("aktualizovatb")->isEnabled());
    QVERIFY2(s.dialogs.boxes.empty(), "showing the page is no action: no box");
    // Asking again is an action: its failure is reported.
    s.klikni("aktualizovatb");
    QCOMPARE(s.dialogs.boxes.size(), std::size_t{1});
    QVERIFY(s.dialogs.boxes[0].text.contains(QString::fromStdString(*chyba)));
  }

  void withoutRightsEveryActionSaysSo() {
    nahradjespravce([] { return false; });
    Stranka s;
    s.form().sapc()->setCurrentIndex(kSluzbats);
    QCOMPARE(s.najdi<QLabel>("sb1")->text(), QStringLiteral("Pro práci se službou musíte program spustit jako správce.."));
    for (const char* b : {"startb", "instalovatb"}) {
      s.najdi<QPushButton>(b)->setEnabled(true);
      s.klikni(b);
    }
    QCOMPARE(s.dialogs.boxes.size(), std::size_t{2});
    for (const Box& b : s.dialogs.boxes) {
      QCOMPARE(b.caption, kPrava);
      QCOMPARE(b.text, QStringLiteral("Pro tuto funkci musí být program spuštěn s právy administrátora, ukončete program, "
                                      "pravým tl. myši na ikoně programu zvolte spustit jako správce..."));
      QCOMPARE(b.ikona, Ikona::Chyba);
    }
    QVERIFY(s.prikazy().isEmpty());
  }

  void installWithoutServiceProgram() {
    Stranka s;
    s.najdi<QPushButton>("instalovatb")->setEnabled(true);
    s.klikni("instalovatb");
    QCOMPARE(s.dialogs.boxes.back().text, QStringLiteral("Služba nenalezena."));
    QCOMPARE(s.dialogs.boxes.back().caption, QStringLiteral("chyba"));
  }

  void installRunsTheServiceProgramAndRereadsTheState_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("install") << QStringLiteral("instalovat") << QByteArray("/install\n");
    QTest::newRow("removal") << QStringLiteral("odinstalovat") << QByteArray("/uninstall\n");
  }
  void installRunsTheServiceProgramAndRereadsTheState() {
    QFETCH(QString, caption);
    QFETCH(QByteArray, command);
    Stranka s;
    s.nainstalujskript();
    auto* b = s.najdi<QPushButton>("instalovatb");
    b->setText(caption);
    b->setEnabled(true);
    s.klikni("instalovatb");
    // Run from a folder with blanks in its path, and waited for.
    QCOMPARE(s.prikazy(), command);
    if (const auto chyba = chybasspravcem()) {
      // The state read afterwards fails here, and says why.
      QVERIFY(!s.dialogs.boxes.empty());
      QVERIFY2(s.dialogs.boxes.back().text.contains(QString::fromStdString(*chyba)), qPrintable(s.dialogs.boxes.back().text));
    }
  }

  void startButtonBeforeAnyStateOnlyRereads() {
    const auto chyba = chybasspravcem();
    if (!chyba) QSKIP("this machine has a service manager");
    Stranka s;
    auto* b = s.najdi<QPushButton>("startb");
    QCOMPARE(b->text(), QStringLiteral("start"));
    s.klikni("startb");
    // The state is read first; without a service manager that ends the click with the reason.
    QCOMPARE(s.dialogs.boxes.size(), std::size_t{1});
    QVERIFY(s.dialogs.boxes[0].text.contains(QString::fromStdString(*chyba)));
    QVERIFY(!b->isEnabled());
  }
};

QTEST_MAIN(SluzbaTest)
#include "sluzba_test.moc"
