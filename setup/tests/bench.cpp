// dorvik_bench: with 10,000 tasks, the time to a usable connected window and to reopen the task lists.
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "core/db/statement.h"
#include "core/settings_file.h"
#include "setup/editor_uloh.h"
#include "setup/tests/demo_data.h"
#include "setup/tests/recording_dialogs.h"
#include "setup/tform1.h"
#include "setup/ulohy_model.h"
#include "setup/vzhled.h"

namespace {

double ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The update check every window starts goes to a closed loopback port, not to the network.
  if (qEnvironmentVariableIsEmpty("DORVIK_UPDATE_SERVER")) qputenv("DORVIK_UPDATE_SERVER", "http://127.0.0.1:9");
  QApplication app(argc, argv);
  dorvik::setup::pouzijvzhled(app);
  try {
    dorvik::test::StandinServer server;
    dorvik::setup::test::naplndemo(server);
    dorvik::setup::test::pridejulohy(server, 10000);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("dvsc"));
    const std::string slozka = folder.path().toStdString() + "/";
    dorvik::IniDocument ini;
    dorvik::zapisnastaveni(ini, dorvik::setup::test::demonastaveni(server));
    dorvik::saveSettingsFile(ini, slozka + "dorvik");

    for (int run = 1; run <= 3; ++run) {
      dorvik::setup::test::RecordingDialogs dialogs;
      const auto start = std::chrono::steady_clock::now();
      dorvik::setup::TForm1 form(slozka, dialogs);
      form.show();
      if (!QTest::qWaitFor([&] { return form.zobrazenohotovo(); }, 60000)) throw std::runtime_error("window never ready");
      QApplication::processEvents();
      const auto ready = std::chrono::steady_clock::now();
      const auto n = form.zakazky()->model()->rowCount();
      const auto before = std::chrono::steady_clock::now();
      form.testcon(QString::fromStdString(server.serverPort()), QStringLiteral("vorlak"),
                   QString::fromStdString(server.options().login), QString::fromStdString(server.options().password),
                   /*silent=*/true, false, true);
      const auto reopened = std::chrono::steady_clock::now();
      form.zakazky()->model()->open();
      const auto listOnly = std::chrono::steady_clock::now();
      {
        dorvik::db::Statement raw(form.con());
        raw.execute("select * from ulohy where druh='zakazka'");
        while (raw.next()) {
        }
      }
      const auto rawOnly = std::chrono::steady_clock::now();
      std::printf("  the same rows fetched without the model: %.0f ms\n", ms(rawOnly - listOnly));
      std::printf("run %d: %d order tasks; start to usable connected window %.0f ms; connection test with the three "
                  "lists reopened %.0f ms (of which reading the 10,000-row list alone takes %.0f ms)\n",
                  run, n, ms(ready - start), ms(reopened - before), ms(listOnly - reopened));
      if (!dialogs.boxes.empty()) std::printf("  box: %s\n", qPrintable(dialogs.boxes.front().text));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dorvik_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
