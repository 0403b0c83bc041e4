// dorvik_screenshots: writes a PNG of every tab of the setup tool, filled with the demo data, into a folder.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "core/settings_file.h"
#include "setup/soubory_programu.h"
#include "setup/tests/demo_data.h"
#include "setup/tests/recording_dialogs.h"
#include "setup/tform1.h"
#include "setup/vzhled.h"
#include "tests/support/http_peer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dorvik_screenshots <output folder> [<scale factor>]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QByteArray scale = argc > 2 ? QByteArray(argv[2]) : QByteArray("1");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", scale);
  QApplication app(argc, argv);
  dorvik::setup::pouzijvzhled(app);
  try {
    dorvik::test::StandinServer server;
    dorvik::setup::test::naplndemo(server);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("dvsc"));
    const std::string slozka = folder.path().toStdString() + "/";
    // An update server on loopback that publishes a newer runner, for the page "o programu".
    dorvik::testing::HttpPeer aktualizace;
    aktualizace.publish("data/vorlak8/dv.php",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<verze><verzedv>1.00.00.00</verzedv>"
                        "<verzedvsc>1.00.00.00</verzedvsc><verzeuloha>1.01.00.00</verzeuloha>"
                        "<popis>Úloha 1.01: zálohy do složek s mezerou v názvu.\nOpravy chyb.</popis></verze>\n");
    QFile::copy(QStringLiteral(DORVIK_SETUP_DIR "/uloha"), folder.path() + QStringLiteral("/uloha"));
    QFile::copy(QStringLiteral(DORVIK_SETUP_DIR "/dvsc/dvsc"), folder.path() + QStringLiteral("/dvsc/dvsc"));
    dorvik::IniDocument ini;
    dorvik::zapisnastaveni(ini, dorvik::setup::test::demonastaveni(server));
    ini.writeString("setup", dorvik::setup::kKlicAktualizace, aktualizace.baseUrl());
    dorvik::saveSettingsFile(ini, slozka + "dorvik");
    QFile log(folder.path() + QStringLiteral("/dvlog.txt"));
    if (log.open(QIODevice::WriteOnly)) {
      log.write("11.12.2026 8:10:02: úloha 1: chyba odesílání: Connection refused\r\n"
                "11.12.2026 22:30:15: úloha 5: Pozor, chyba při vytváření zálohy, zkontrolujte nastavení sql serveru "
                "a dostupnost úložiště ze serveru. Cesta: D:\\zalohy\\vorlak_11_12_2026-22_30_00.bak\r\n");
      log.close();
    }
    QFile slog(folder.path() + QStringLiteral("/dvsc/dvsc.log"));
    if (slog.open(QIODevice::WriteOnly)) {
      slog.write("11.12.2026 8:10:00 spuštěna úloha 1\r\n11.12.2026 22:30:00 spuštěna úloha 5\r\n");
      slog.close();
    }

    dorvik::setup::test::RecordingDialogs dialogs;
    dorvik::setup::TForm1 form(slozka, dialogs);
    form.show();
    if (!QTest::qWaitFor([&] { return form.zobrazenohotovo(); }, 60000)) throw std::runtime_error("window never ready");
    const auto kontrolyhotove = [&] { return form.zobrazenekontroly() == form.spustenekontroly(); };
    QDir().mkpath(out);
    for (int i = 0; i < form.sapc()->count(); ++i) {
      form.sapc()->setCurrentIndex(i);
      QTest::qWait(50);
      if (!QTest::qWaitFor(kontrolyhotove, 60000)) throw std::runtime_error("the update check never displayed");
      const QString name = QStringLiteral("%1/dorvik-%2-%3.png")
                               .arg(out)
                               .arg(i + 1)
                               .arg(form.sapc()->widget(i)->objectName());
      if (!form.grab().save(name)) throw std::runtime_error("cannot write " + name.toStdString());
      std::printf("%s\n", qPrintable(name));
    }
    for (const auto& box : dialogs.boxes) std::fprintf(stderr, "box: %s: %s\n", qPrintable(box.caption), qPrintable(box.text));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dorvik_screenshots: %s\n", e.what());
    return 1;
  }
  return 0;
}
