// A test fixture: a throw-away program folder with the real main window over it, shown offscreen.
#pragma once
#include <memory>
#include <string>

#include <functional>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "setup/tests/recording_dialogs.h"
#include "setup/tform1.h"

namespace dorvik::setup::test {

// Types the text into the widget key by key; Czech letters too, which QTest::keyClicks does not take.
inline void napis(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    if (c == QLatin1Char('\n')) {
      QTest::keyClick(widget, Qt::Key_Return);
    } else if (c.unicode() < 128) {
      QTest::keyClick(widget, c.toLatin1());
    } else {
      QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}

// Once a modal window is up and no busy call is running, hands it to `act` (from inside its event loop).
inline void azseotevre(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || QApplication::overrideCursor()) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start();
}

// The named child widget of `root`; a missing one ends the test program.
template <typename W>
W* najdiprvek(QObject* root, const char* name) {
  W* w = root->findChild<W*>(QString::fromLatin1(name));
  if (!w) qFatal("no widget %s", name);
  return w;
}

// Creates and shows the window over `slozka` and waits until its start-up connection attempt has ended.
inline std::unique_ptr<TForm1> otevrenookno(const std::string& slozka, Dialogs& dialogs) {
  auto form = std::make_unique<TForm1>(slozka, dialogs);
  form->show();
  if (!QTest::qWaitFor([&] { return form->zobrazenohotovo(); }, 60000)) qFatal("the window never finished showing");
  return form;
}

class Okno {
 public:
  Okno() { QDir(dir_.path()).mkpath(QStringLiteral("dvsc")); }

  // The program folder with its trailing separator.
  std::string slozka() const { return dir_.path().toStdString() + "/"; }
  QString cesta(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

  void zapisnastaveni(const Nastaveni& n) const {
    IniDocument ini;
    dorvik::zapisnastaveni(ini, n);
    saveSettingsFile(ini, slozka() + "dorvik");
  }
  Nastaveni prectinastaveni() const {
    IniDocument ini;
    if (!loadSettingsFile(ini, slozka() + "dorvik")) return {};
    return dorvik::prectinastaveni(ini);
  }
  void zapissoubor(const QString& name, const QByteArray& bytes) const {
    QFile f(cesta(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  QByteArray prectisoubor(const QString& name) const {
    QFile f(cesta(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
  }

  // Creates and shows the window and waits until its start-up connection attempt has ended.
  TForm1& otevri() {
    form_ = otevrenookno(slozka(), dialogs);
    return *form_;
  }
  // Closes the window (FormClose) and destroys it.
  void zavri() {
    if (!form_) return;
    form_->close();
    form_.reset();
  }
  TForm1& form() { return *form_; }

  template <typename W>
  W* najdi(const char* name) {
    return najdiprvek<W>(form_.get(), name);
  }

  RecordingDialogs dialogs;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace dorvik::setup::test
