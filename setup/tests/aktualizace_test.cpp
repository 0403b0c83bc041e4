// The update check, the component update and the self-update, against a real HTTP server on loopback.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "platform/file_version.h"
#include "platform/network_state.h"
#include "setup/novaverze.h"
#include "setup/samoaktualizace.h"
#include "setup/soubory_programu.h"
#include "setup/sprava_sluzby.h"
#include "setup/tests/window_fixture.h"
#include "setup/tgetnovaverze.h"
#include "tests/common/closed_port.h"
#include "tests/support/file_version_stamp.h"
#include "tests/support/http_peer.h"

using namespace dorvik;
using namespace dorvik::setup;
using namespace dorvik::setup::test;

namespace {

const QString kNenalezeno = QStringLiteral("nenalezeno");
const QString kAktualni = QStringLiteral("používáte aktuální verzi programu");
const QString kExistuji = QStringLiteral("existují aktualizace");

platform::FileVersion verze(const QString& text) {
  const QStringList c = text.split(QLatin1Char('.'));
  return {c.value(0).toUShort(), c.value(1).toUShort(), c.value(2).toUShort(), c.value(3).toUShort()};
}

QString std2q(const std::string& s) { return QString::fromStdString(s); }

// The version document with the given elements; a missing value leaves its element out.
std::string dokument(std::optional<QString> dv, std::optional<QString> dvsc, std::optional<QString> uloha,
                     std::optional<QString> popis = QStringLiteral("Nová verze\nopravy chyb")) {
  QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<verze>\n");
  const auto prvek = [&](const char* nazev, const std::optional<QString>& hodnota) {
    if (hodnota) xml += QStringLiteral("  <%1>%2</%1>\n").arg(QLatin1String(nazev), hodnota->toHtmlEscaped());
  };
  prvek("verzedv", dv);
  prvek("verzedvsc", dvsc);
  prvek("verzeuloha", uloha);
  prvek("popis", popis);
  return (xml + QStringLiteral("</verze>\n")).toStdString();
}

// A program folder with the setup tool's settings pointing at the HTTP peer, and the window over it.
class Instalace {
 public:
  explicit Instalace(const QString& podslozka = {}) {
    slozka_ = dir_.path() + QLatin1Char('/') + (podslozka.isEmpty() ? QString() : podslozka + QLatin1Char('/'));
    QDir().mkpath(slozka_ + QStringLiteral("dvsc"));
    IniDocument ini;
    zapisnastaveni(ini, Nastaveni{});
    ini.writeString("setup", kKlicAktualizace, server.baseUrl());
    saveSettingsFile(ini, slozka_.toStdString() + "dorvik");
  }
  ~Instalace() { zavri(); }

  QString slozka() const { return slozka_; }
  QString cesta(const QString& soubor) const { return slozka_ + soubor; }

  // Installs a copy of a built program under `soubor` with the given version.
  void nainstaluj(const QString& soubor, const char* zdroj, const QString& v) const {
    QFile::remove(cesta(soubor));
    QVERIFY(QFile::copy(QStringLiteral(DORVIK_SETUP_DIR "/") + QLatin1String(zdroj), cesta(soubor)));
    testing::stampFileVersion(cesta(soubor).toStdString(), verze(v));
  }
  // Publishes a copy of a built program at `cesta` on the server with the given version.
  void zverejni(const char* cestanaserveru, const QString& zdroj, const QString& v) const {
    const std::string url = server.publishFile(std::string(cestanaserveru).substr(1), zdroj.toStdString());
    testing::stampFileVersion(server.root() + std::string(cestanaserveru).substr(1), verze(v));
    (void)url;
  }
  void zverejnidokument(const std::string& text) const { server.publish("data/vorlak8/dv.php", text); }

  TForm1& otevri() {
    form_ = otevrenookno(slozka_.toStdString(), dialogs);
    pockejnakontroly();
    return *form_;
  }
  // Waits until every update check started so far has displayed.
  void pockejnakontroly() {
    if (!QTest::qWaitFor([this] { return form_->zobrazenekontroly() == form_->spustenekontroly(); }, 60000)) {
      qFatal("an update check never displayed");
    }
  }
  void zavri() { form_.reset(); }
  TForm1& form() { return *form_; }
  bool otevreno() const { return form_ && form_->isVisible(); }

  template <typename W>
  W* najdi(const char* name) {
    return najdiprvek<W>(form_.get(), name);
  }
  QString popis() { return najdi<QPlainTextEdit>("popism")->toPlainText(); }
  QString stavovyradek() { return najdi<QLabel>("sb1")->text(); }
  bool cervene(const char* label) {
    return najdi<QLabel>(label)->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
  }
  QString verzesouboru(const QString& soubor) const { return setup::verzesouboru(cesta(soubor)); }

  // Runs the component update as the button does, answering its question with Yes;
  // returns the memo's progress lines, which the final update check replaces.
  QString aktualizuj() {
    dialogs.answers.push_back(true);
    QTest::mouseClick(najdi<QPushButton>("aktualizaceb"), Qt::LeftButton);
    if (!form_ || !form_->isVisible()) return {};
    const QString prubeh = popis();
    pockejnakontroly();
    return prubeh;
  }

  testing::HttpPeer server;
  RecordingDialogs dialogs;

 private:
  QTemporaryDir dir_;
  QString slozka_;
  std::unique_ptr<TForm1> form_;
};

const QString kSamotnyTest = QStringLiteral("1.00.00.00");  // this test program's own version, as built

// A process with the given executable name, running until the object goes.
class BeziciProgram {
 public:
  BeziciProgram(const QString& nazev) {
    QVERIFY(dir_.isValid());
    cesta_ = dir_.path() + QLatin1Char('/') + nazev;
    QFile::copy(QStringLiteral("/bin/sleep"), cesta_);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execl(cesta_.toLocal8Bit().constData(), "sleep", "60", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Until exec has happened the child still carries the test's name.
    const QString nazevprocesu = QFileInfo(cesta_).fileName();
    const auto spusten = [&] {
      return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid_))).fileName() == nazevprocesu;
    };
    if (!QTest::qWaitFor(spusten, 10000)) qFatal("the program %s never started", qPrintable(cesta_));
  }
  ~BeziciProgram() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  // True once the process has ended (and is collected).
  bool skoncil() { return ::waitpid(pid_, nullptr, WNOHANG) == pid_; }

 private:
  QTemporaryDir dir_;
  QString cesta_;
  pid_t pid_ = -1;
};

}  // namespace

class AktualizaceTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { nahradjespravce([] { return true; }); }

  void versionDocumentIsRead_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("expected");  // verzedv, verzedvsc, verzeuloha, soubory, popis
    QTest::newRow("all elements") << QByteArray("<v><verzedv>1.00.00.01</verzedv><verzedvsc>1.00.00.02</verzedvsc>"
                                                "<verzeuloha>1.00.00.03</verzeuloha><soubory>a;b</soubory>"
                                                "<popis>řádek 1\nřádek 2</popis></v>")
                                  << QStringList{"1.00.00.01", "1.00.00.02", "1.00.00.03", "a;b", "řádek 1\nřádek 2"};
    QTest::newRow("first of a name counts, others ignored")
        << QByteArray("<x><jine>9</jine><verzedv>1</verzedv><verzedv>2</verzedv></x>")
        << QStringList{"1", "", "", "", ""};
    QTest::newRow("deeper elements are not found")
        << QByteArray("<x><obal><verzedv>1</verzedv></obal><popis>p</popis></x>") << QStringList{"", "", "", "", "p"};
    QTest::newRow("declared encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1250\"?><x><popis>\x9e\x6c\x75\x9d\x6f\x75\xe8\x6b\xfd</popis></x>")
        << QStringList{"", "", "", "", "žluťoučký"};
  }
  void versionDocumentIsRead() {
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, expected);
    Tnovaverze v;
    prectiverze(xml, v);
    QCOMPARE((QStringList{v.verzedv, v.verzedvsc, v.verzeuloha, v.soubory, v.popis}), expected);
  }

  void brokenDocumentStoresNothing_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("html page") << QByteArray("<html><body><p>Not found<br></body></html>");
    QTest::newRow("cut off") << QByteArray("<v><verzedv>1.00.00.01</verzedv><verzeuloha>1.0");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("verzedv=1.00.00.01");
  }
  void brokenDocumentStoresNothing() {
    QFETCH(QByteArray, body);
    Tnovaverze v;
    QVERIFY_THROWS_EXCEPTION(std::exception, prectiverze(body, v));
    QVERIFY(v.verzedv.isEmpty() && v.verzeuloha.isEmpty());
  }

  void novaverzeSendsTheHeadersAndReportsFailures() {
    testing::HttpPeer server;
    server.publish("data/vorlak8/dv.php", dokument(QStringLiteral("1.00.00.00"), {}, {}));
    Tnovaverze v;
    novaverze(std2q(server.baseUrl()), v);
    QCOMPARE(v.verzedv, QStringLiteral("1.00.00.00"));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), std::size_t{1});
    QVERIFY(requests[0].starts_with("GET /data/vorlak8/dv.php HTTP/1.1\r\n"));
    QVERIFY(std2q(requests[0]).contains(QStringLiteral("\r\nAccept: */*\r\n"), Qt::CaseInsensitive));
    QVERIFY(std2q(requests[0]).contains(QStringLiteral("\r\nContent-Type: text/xml\r\n"), Qt::CaseInsensitive));

    server.answerWithStatus("data/vorlak8/dv.php", 404);
    Tnovaverze chyba;
    novaverze(std2q(server.baseUrl()), chyba);
    QVERIFY2(chyba.popis.contains(QStringLiteral("404")), qPrintable(chyba.popis));
    QVERIFY(chyba.verzedv.isEmpty());

    Tnovaverze dole;
    novaverze(QStringLiteral("http://127.0.0.1:%1").arg(dorvik::testing::closedPort()), dole);
    QVERIFY2(!dole.popis.isEmpty(), "a server that is down leaves its reason");
  }

  void pageShowsVersions_data() {
    QTest::addColumn<QString>("uloha");  // installed version, empty: not installed
    QTest::addColumn<QString>("dvsc");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QList<bool>>("red");  // verzeprogramul, verzesluzbyl, verzeulohy
    QTest::addColumn<QString>("memo");
    const QString v1 = QStringLiteral("1.00.00.00"), v2 = QStringLiteral("1.02.10.05");
    const auto doc = [](auto... a) { return QByteArray::fromStdString(dokument(a...)); };
    QTest::newRow("all equal") << v1 << v2 << doc(kSamotnyTest, v2, v1) << QList<bool>{false, false, false} << kAktualni;
    QTest::newRow("only the runner differs")
        << v1 << v2 << doc(kSamotnyTest, v2, v2) << QList<bool>{false, false, true}
        << QStringLiteral("Nová verze\nopravy chyb");
    QTest::newRow("no description while versions differ")
        << v1 << v2 << doc(kSamotnyTest, v1, v1, std::nullopt) << QList<bool>{false, true, false} << QString();
    QTest::newRow("1.0.0.0 is not 1.00.00.00")
        << v1 << v2 << doc(QStringLiteral("1.0.0.0"), v2, v1) << QList<bool>{true, false, false}
        << QStringLiteral("Nová verze\nopravy chyb");
    QTest::newRow("a lower version is an update too")
        << v2 << v2 << doc(kSamotnyTest, v2, v1) << QList<bool>{false, false, true}
        << QStringLiteral("Nová verze\nopravy chyb");
    QTest::newRow("missing programs read nenalezeno")
        << QString() << QString() << doc(kSamotnyTest, v2, v1) << QList<bool>{false, true, true}
        << QStringLiteral("Nová verze\nopravy chyb");
  }
  void pageShowsVersions() {
    QFETCH(QString, uloha);
    QFETCH(QString, dvsc);
    QFETCH(QByteArray, xml);
    QFETCH(QList<bool>, red);
    QFETCH(QString, memo);
    Instalace i;
    if (!uloha.isEmpty()) i.nainstaluj(souborulohy(), "uloha", uloha);
    if (!dvsc.isEmpty()) i.nainstaluj(souborsluzby(), "dvsc/dvsc", dvsc);
    i.zverejnidokument(xml.toStdString());
    i.otevri();
    QCOMPARE(i.najdi<QLabel>("verzeprogramuol")->text(), kSamotnyTest);
    QCOMPARE(i.najdi<QLabel>("verzeulohyol")->text(), uloha.isEmpty() ? kNenalezeno : uloha);
    QCOMPARE(i.najdi<QLabel>("verzesluzbyol")->text(), dvsc.isEmpty() ? kNenalezeno : dvsc);
    QCOMPARE((QList<bool>{i.cervene("verzeprogramul"), i.cervene("verzesluzbyl"), i.cervene("verzeulohy")}), red);
    QCOMPARE(i.popis(), memo);
    QCOMPARE(i.stavovyradek(), red.contains(true) ? kExistuji : kAktualni);
  }

  void failedFetchShowsItsReason_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("not xml") << QStringLiteral("not xml");
    QTest::newRow("error status") << QStringLiteral("404");
    QTest::newRow("server down") << QStringLiteral("down");
  }
  void failedFetchShowsItsReason() {
    QFETCH(QString, kind);
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", kSamotnyTest);
    i.zverejnidokument("<html><body>Chyba serveru</body>");
    if (kind == QStringLiteral("404")) i.server.answerWithStatus("data/vorlak8/dv.php", 404);
    if (kind == QStringLiteral("down")) {
      IniDocument ini;
      loadSettingsFile(ini, i.slozka().toStdString() + "dorvik");
      ini.writeString("setup", kKlicAktualizace, "http://127.0.0.1:" + std::to_string(dorvik::testing::closedPort()));
      saveSettingsFile(ini, i.slozka().toStdString() + "dorvik");
    }
    i.otevri();
    // Every published version is empty, so all three count as different.
    for (const char* l : {"verzeprogramul", "verzesluzbyl", "verzeulohy"}) {
      QVERIFY(i.cervene(l));
      QCOMPARE(i.najdi<QLabel>(l)->text(), QString());
    }
    QCOMPARE(i.stavovyradek(), kExistuji);
    QVERIFY2(!i.popis().isEmpty(), "the memo gives the reason");
  }

  void checksStartWhereTheyShould() {
    Instalace i;
    i.zverejnidokument(dokument(kSamotnyTest, {}, {}));
    TForm1& f = i.otevri();
    QCOMPARE(f.spustenekontroly(), 1);  // at the window's creation
    f.sapc()->setCurrentIndex(7);       // "o programu", twice in quick succession
    f.sapc()->setCurrentIndex(0);
    f.sapc()->setCurrentIndex(7);
    QCOMPARE(f.spustenekontroly(), 3);
    f.sapc()->setCurrentIndex(4);  // the service page: showing it starts none, leaving it does
    QCOMPARE(f.spustenekontroly(), 3);
    f.sapc()->setCurrentIndex(5);
    QCOMPARE(f.spustenekontroly(), 4);
    i.pockejnakontroly();
    QCOMPARE(f.zobrazenekontroly(), 4);
  }

  void checkOutlivingTheWindowTouchesNothing() {
    // A server that takes the connection and never answers keeps the check running.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QVERIFY(::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(s, 8) == 0);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    Instalace i;
    IniDocument ini;
    loadSettingsFile(ini, i.slozka().toStdString() + "dorvik");
    ini.writeString("setup", kKlicAktualizace, "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)));
    saveSettingsFile(ini, i.slozka().toStdString() + "dorvik");
    auto form = std::make_unique<TForm1>(i.slozka().toStdString(), i.dialogs);
    QVERIFY(QTest::qWaitFor([] { return Tgetnovaverze::bezici() > 0; }, 10000));
    const int spojeni = ::accept(s, nullptr, nullptr);
    QVERIFY(spojeni >= 0);
    form.reset();
    // The check now fails and hands its result to a window that is gone.
    ::close(spojeni);
    ::close(s);
    QVERIFY(QTest::qWaitFor([] { return Tgetnovaverze::bezici() == 0; }, 120000));
    QTest::qWait(50);  // the queued hand-over would run here
  }

  void offlineOnlySaysSo() {
    // Offline for real: the test runs again in a network namespace of its own, which has no network.
    if (!qEnvironmentVariableIsSet("DORVIK_BEZ_SITE")) {
      QProcess child;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(QStringLiteral("DORVIK_BEZ_SITE"), QStringLiteral("1"));
      child.setProcessEnvironment(env);
      child.setProcessChannelMode(QProcess::MergedChannels);
      child.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QCoreApplication::applicationFilePath(),
                                              QStringLiteral("offlineOnlySaysSo")});
      if (!child.waitForFinished(120000)) QFAIL("the offline run never ended");
      const QByteArray output = child.readAll();
      if (child.exitCode() != 0 && !output.contains("Totals:")) QSKIP("no network namespace can be made here: " + output);
      QVERIFY2(child.exitCode() == 0, output.constData());
      return;
    }
    QVERIFY(!platform::networkConnected());
    QTemporaryDir dir;
    const std::string slozka = dir.path().toStdString() + "/";
    IniDocument ini;
    zapisnastaveni(ini, Nastaveni{});
    ini.writeString("setup", kKlicAktualizace, "http://192.0.2.1");  // an address that needs a network
    saveSettingsFile(ini, slozka + "dorvik");
    RecordingDialogs dialogs;
    auto form = otevrenookno(slozka, dialogs);
    form->sapc()->setCurrentIndex(7);
    QCOMPARE(form->spustenekontroly(), 0);  // no check starts, and the page keeps its captions
    QCOMPARE(najdiprvek<QLabel>(form.get(), "verzeulohy")->text(), QStringLiteral("verzeulohyl"));
    dialogs.answers.push_back(true);
    QTest::mouseClick(najdiprvek<QPushButton>(form.get(), "aktualizaceb"), Qt::LeftButton);
    QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral("Opravdu aktualizovat? Tato operace může trvat i několik minut"),
                                           QStringLiteral("Ověřte funkčnost síťového připojení.")}));
    QVERIFY(!QFile::exists(dir.path() + QLatin1Char('/') + souborulohy()));
    Tnovaverze v;
    novaverze(QStringLiteral("http://192.0.2.1"), v);
    QVERIFY2(v.popis.isEmpty(), "offline, the record stays as it was");
  }

  void equalVersionsChangeNothing() {
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", QStringLiteral("1.00.00.00"));
    i.zverejnidokument(dokument(kSamotnyTest, {}, QStringLiteral("1.00.00.00")));
    QFile::remove(i.cesta(souborsluzby()));
    i.server.answerWithStatus("data/vorlak8/dvsc.exe", 404);
    i.otevri();
    const QString pred = i.popis();
    QCOMPARE(i.aktualizuj(), pred);
    // The missing service program could not be fetched: said so, and the update went on.
    QCOMPARE(i.dialogs.texts().filter(QStringLiteral("Soubor služby neexistuje")).size(), 1);
    QVERIFY(i.dialogs.texts().filter(QStringLiteral("uloha")).isEmpty());
    QVERIFY(i.otevreno());
  }

  void questionAnsweredNoDoesNothing() {
    Instalace i;
    i.zverejnidokument(dokument(kSamotnyTest, {}, {}));
    i.otevri();
    i.dialogs.answers.push_back(false);
    QTest::mouseClick(i.najdi<QPushButton>("aktualizaceb"), Qt::LeftButton);
    QCOMPARE(i.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(i.dialogs.boxes[0].caption, QStringLiteral("Otázka"));
    QCOMPARE(i.dialogs.boxes[0].text, QStringLiteral("Opravdu aktualizovat? Tato operace může trvat i několik minut"));
    QVERIFY(i.server.requests().size() == 1);  // the check at creation only
  }

  void runnerIsReplacedOnlyByWhatWasPublished_data() {
    QTest::addColumn<QString>("serve");  // how the server answers for the runner
    QTest::addColumn<bool>("replaced");
    QTest::newRow("published version") << QStringLiteral("ok") << true;
    QTest::newRow("truncated download") << QStringLiteral("truncate") << false;
    QTest::newRow("error page") << QStringLiteral("404") << false;
    QTest::newRow("file of another version") << QStringLiteral("other version") << false;
  }
  void runnerIsReplacedOnlyByWhatWasPublished() {
    QFETCH(QString, serve);
    QFETCH(bool, replaced);
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", QStringLiteral("1.00.00.00"));
    i.nainstaluj(souborsluzby(), "dvsc/dvsc", QStringLiteral("1.00.00.00"));
    const QByteArray puvodni = [&] { QFile f(i.cesta(souborulohy())); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    i.zverejnidokument(dokument(kSamotnyTest, QStringLiteral("1.00.00.00"), QStringLiteral("2.00.00.00")));
    i.zverejni(kCestaUlohy, QStringLiteral(DORVIK_SETUP_DIR "/uloha"),
               serve == QStringLiteral("other version") ? QStringLiteral("1.05.00.00") : QStringLiteral("2.00.00.00"));
    if (serve == QStringLiteral("truncate")) i.server.truncate("data/vorlak8/uloha.exe");
    if (serve == QStringLiteral("404")) i.server.answerWithStatus("data/vorlak8/uloha.exe", 404);
    i.otevri();
    const QString prubeh = i.aktualizuj();
    if (replaced) {
      QCOMPARE(i.verzesouboru(souborulohy()), QStringLiteral("2.00.00.00"));
      QVERIFY(QFileInfo(i.cesta(souborulohy())).isExecutable());
      QVERIFY2(prubeh.endsWith(QStringLiteral("\nÚloha aktualizována.")), qPrintable(prubeh));
      QCOMPARE(i.popis(), QStringLiteral("používáte aktuální verzi programu"));
      QVERIFY(i.dialogs.boxes.size() == 1);  // the question only
    } else {
      QFile f(i.cesta(souborulohy()));
      QVERIFY(f.open(QIODevice::ReadOnly));
      QVERIFY2(f.readAll() == puvodni, "the installed runner stays as it was");
      const QStringList texts = i.dialogs.texts();
      QCOMPARE(texts.size(), 2);
      QVERIFY(texts[1].startsWith(
          QStringLiteral("Soubor uloha.exe nelze aktualizovat. Ověřte funkčnost síťového připojení.\n")));
      QVERIFY2(texts[1].size() > 80, "the reason follows");
    }
    // Nothing of a download is left behind beside the programs.
    QCOMPARE(QDir(i.slozka()).entryList({QStringLiteral("*.stahuje")}, QDir::Files).size(), 0);
  }

  void unreadableVersionDocumentReplacesNothing() {
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", QStringLiteral("1.00.00.00"));
    i.zverejni(kCestaUlohy, QStringLiteral(DORVIK_SETUP_DIR "/uloha"), QStringLiteral("2.00.00.00"));
    i.zverejni(kCestaNastroje, QStringLiteral(DORVIK_TEST_PROGRAM), QStringLiteral("2.00.00.00"));
    i.zverejnidokument("<html>Service Unavailable</html>");
    i.server.answerWithStatus("data/vorlak8/dv.php", 503);
    QFile::remove(i.cesta(souborsluzby()));
    i.server.answerWithStatus("data/vorlak8/dvsc.exe", 404);
    i.otevri();
    const QString prubeh = i.aktualizuj();
    QCOMPARE(i.verzesouboru(souborulohy()), QStringLiteral("1.00.00.00"));
    QVERIFY(i.dialogs.texts().last().contains(QStringLiteral("is not known")));
    QVERIFY2(prubeh.contains(QStringLiteral("is not known")), qPrintable(prubeh));  // the setup tool's own
    QVERIFY(i.otevreno());
    for (const std::string& r : i.server.requests()) {
      QVERIFY2(r.find("uloha.exe") == std::string::npos && r.find("dorvika.exe") == std::string::npos, r.c_str());
    }
  }

  void missingRunnerIsFetchedEvenWithoutRights() {
    Instalace i;
    i.nainstaluj(souborsluzby(), "dvsc/dvsc", QStringLiteral("1.00.00.00"));
    i.zverejnidokument(dokument(kSamotnyTest, QStringLiteral("1.00.00.00"), QStringLiteral("2.00.00.00")));
    i.zverejni(kCestaUlohy, QStringLiteral(DORVIK_SETUP_DIR "/uloha"), QStringLiteral("2.00.00.00"));
    nahradjespravce([] { return false; });
    i.otevri();
    i.aktualizuj();
    QCOMPARE(i.verzesouboru(souborulohy()), QStringLiteral("2.00.00.00"));
    QCOMPARE(i.dialogs.boxes.back().caption, QStringLiteral("Chyba nedostatečné oprávnění."));
    QCOMPARE(i.dialogs.boxes.size(), std::size_t{2});
  }

  void runningRunnerIsNotReplaced() {
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", QStringLiteral("1.00.00.00"));
    i.zverejnidokument(dokument(kSamotnyTest, {}, QStringLiteral("2.00.00.00")));
    i.zverejni(kCestaUlohy, QStringLiteral(DORVIK_SETUP_DIR "/uloha"), QStringLiteral("2.00.00.00"));
    BeziciProgram uloha(souborulohy());
    i.otevri();
    i.aktualizuj();
    QVERIFY(i.dialogs.texts().contains(QStringLiteral("Úloha zřejmě právě běží a proto ji nelze aktualizovat.")));
    QCOMPARE(i.verzesouboru(souborulohy()), QStringLiteral("1.00.00.00"));
  }

  void serviceProgramUpdateNeedsTheServiceManager() {
    // This machine has no service manager: the state cannot be read, the
    // update stops there with the reason, and the service program stays.
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", QStringLiteral("1.00.00.00"));
    i.nainstaluj(souborsluzby(), "dvsc/dvsc", QStringLiteral("1.00.00.00"));
    i.zverejnidokument(dokument(QStringLiteral("9.00.00.00"), QStringLiteral("2.00.00.00"), QStringLiteral("1.00.00.00")));
    i.zverejni(kCestaSluzby, QStringLiteral(DORVIK_SETUP_DIR "/dvsc/dvsc"), QStringLiteral("2.00.00.00"));
    i.otevri();
    i.aktualizuj();
    QCOMPARE(i.verzesouboru(souborsluzby()), QStringLiteral("1.00.00.00"));
    QCOMPARE(i.dialogs.boxes.size(), std::size_t{2});
    QVERIFY2(i.dialogs.boxes[1].text.contains(QStringLiteral("service manager")), qPrintable(i.dialogs.boxes[1].text));
    QVERIFY2(i.otevreno(), "the setup tool's own update did not run");
    QVERIFY(!QFile::exists(i.cesta(soubornovehonastroje())));
  }

  void newSetupToolIsStartedAndTheWindowCloses() {
    Instalace i;
    i.nainstaluj(souborulohy(), "uloha", QStringLiteral("1.00.00.00"));
    i.zverejnidokument(dokument(QStringLiteral("3.00.00.00"), {}, QStringLiteral("1.00.00.00")));
    i.zverejni(kCestaNastroje, QStringLiteral(DORVIK_TEST_PROGRAM), QStringLiteral("3.00.00.00"));
    QFile::remove(i.cesta(souborsluzby()));
    i.server.answerWithStatus("data/vorlak8/dvsc.exe", 404);
    i.otevri();
    i.aktualizuj();
    QCOMPARE(i.verzesouboru(soubornovehonastroje()), QStringLiteral("3.00.00.00"));
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(i.cesta(soubornovehonastroje() + QStringLiteral(".spusteno"))); }, 10000));
    QVERIFY(!i.otevreno());
  }

  void selfUpdateStartStep() {
    QTemporaryDir dir;
    const QString slozka = dir.path() + QLatin1Char('/');
    const QString nova = slozka + soubornovehonastroje();
    QVERIFY(QFile::copy(QStringLiteral(DORVIK_TEST_PROGRAM), nova));
    BeziciProgram stary(soubornastroje());  // an old setup tool still running somewhere
    RecordingDialogs dialogs;
    QCOMPARE(samoaktualizace(nova, slozka, dialogs), Samoaktualizace::predano);
    QVERIFY(dialogs.boxes.empty());
    QVERIFY2(stary.skoncil(), "every running setup tool was ended");
    QVERIFY(QFileInfo(slozka + soubornastroje()).isExecutable());
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(slozka + soubornastroje() + QStringLiteral(".spusteno")); }, 10000));
    QVERIFY2(!QFile::exists(nova), "the new copy's file is removed once the regular one is in place");
  }

  void selfUpdateCopyFailureEndsTheStart() {
    QTemporaryDir dir;
    const QString slozka = dir.path() + QLatin1Char('/');
    const QString nova = slozka + soubornovehonastroje();
    QVERIFY(QFile::copy(QStringLiteral(DORVIK_TEST_PROGRAM), nova));
    QVERIFY(QDir().mkpath(slozka + soubornastroje()));  // a folder where the program should go: the copy fails
    RecordingDialogs dialogs;
    QCOMPARE(samoaktualizace(nova, slozka, dialogs), Samoaktualizace::selhala);
    QCOMPARE(dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(dialogs.boxes[0].caption, QStringLiteral("chyba"));
    QVERIFY(QFile::exists(nova));
  }

  void staleNewCopyIsRemovedAtAnOrdinaryStart() {
    QTemporaryDir dir;
    const QString slozka = dir.path() + QLatin1Char('/');
    QFile f(slozka + soubornovehonastroje());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    RecordingDialogs dialogs;
    QCOMPARE(samoaktualizace(slozka + soubornastroje(), slozka, dialogs), Samoaktualizace::pokracovat);
    QVERIFY(!QFile::exists(slozka + soubornovehonastroje()));
  }
};

QTEST_MAIN(AktualizaceTest)
#include "aktualizace_test.moc"
