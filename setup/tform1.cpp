// TForm1: building the window, FormCreate, FormShow, FormClose, the tab handlers and the stored layout.
#include "setup/tform1.h"

#include <optional>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "setup/dialogs.h"
#include "setup/editor_uloh.h"
#include "setup/handler_guard.h"
#include "setup/log_view.h"
#include "setup/samoaktualizace.h"
#include "setup/tgetnovaverze.h"
#include "setup/tvybratuf.h"
#include "setup/ulohy_grid.h"
#include "setup/ulohy_model.h"

namespace dorvik::setup {
namespace {

enum Stranka { nastavenits, zakazkyts, zarizenits, zalohovanits, sluzbats, logts, logsluzbats, oprogramuts };

// The fields of a grid in the order dvgrid.ini names them.
QString klicsloupce(const UlohyGrid& grid, int column) {
  return grid.objectName() + QLatin1Char('.') + QString::fromLatin1(nazevpole(static_cast<Pole>(column)));
}

}  // namespace

TForm1::TForm1(std::string folder, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), folder_(std::move(folder)), dialogs_(dialogs), layout_(folder_ + "dvgrid.ini", "Form1") {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Dorvik setup"));

  sapc_ = new QTabWidget(this);
  sapc_->setObjectName(QStringLiteral("sapc"));
  setCentralWidget(sapc_);

  auto pripoj = [this] { return pripojzpolicek(); };
  zakazky_ = new EditorUloh(druhZakazky(), con_, dialogs_, pripoj);
  zakazky_->setObjectName(QStringLiteral("zakazkyts"));
  zarizeni_ = new EditorUloh(druhZarizeni(), con_, dialogs_, pripoj);
  zarizeni_->setObjectName(QStringLiteral("zarizenits"));
  zalohovani_ = new EditorUloh(druhZalohovani(), con_, dialogs_, pripoj);
  zalohovani_->setObjectName(QStringLiteral("zalohovanits"));
  logre_ = new LogView(QStringLiteral("logre"), QString::fromStdString(folder_ + "dvlog.txt"), dialogs_);
  logsluzbare_ = new LogView(QStringLiteral("logsluzbare"), QString::fromStdString(folder_ + "dvsc/dvsc.log"), dialogs_);

  sapc_->addTab(vytvornastaveni(), QStringLiteral("nastavení"));
  sapc_->addTab(zakazky_, QStringLiteral("zakázky"));
  sapc_->addTab(zarizeni_, QStringLiteral("zařízení"));
  sapc_->addTab(zalohovani_, QStringLiteral("zálohování databáze"));
  sapc_->addTab(vytvorsluzbu(), QStringLiteral("služba Dorvik"));
  sapc_->addTab(logre_, QStringLiteral("log agent"));
  sapc_->addTab(logsluzbare_, QStringLiteral("log služba"));
  sapc_->addTab(vytvoroprogramu(), QStringLiteral("o programu"));

  sb1_ = new QLabel(this);
  sb1_->setObjectName(QStringLiteral("sb1"));
  prubeh_ = new QProgressBar(this);
  prubeh_->setObjectName(QStringLiteral("prubeh"));
  prubeh_->setRange(0, 0);
  prubeh_->setMaximumWidth(160);
  prubeh_->hide();
  statusBar()->addWidget(sb1_, 1);
  statusBar()->addPermanentWidget(prubeh_);

  connect(zakazky_->vybratb(), &QPushButton::clicked, this, [this] { vyberprijemce(zakazky_->prijemci()); });
  connect(zarizeni_->vybratb(), &QPushButton::clicked, this, [this] { vyberprijemce(zarizeni_->prijemci()); });
  connect(zalohovani_->vybratb(), &QPushButton::clicked, this, [this] { vyberprijemce(zalohovani_->prijemci()); });
  connect(zalohovani_->vybratuzalohyb(), &QPushButton::clicked, this,
          [this] { obsluha(dialogs_, [this] { vybratuzalohybClick(); }); });
  connect(zalohovani_->testuzalohyb(), &QPushButton::clicked, this,
          [this] { obsluha(dialogs_, [this] { testuzalohybClick(); }); });
  for (EditorUloh* e : {zakazky_, zarizeni_, zalohovani_}) {
    e->model()->setErrorHandler([this](const std::exception& error) {
      chybovybox(dialogs_, error);
    });
  }
  connect(sapc_, &QTabWidget::currentChanged, this, &TForm1::zmenastranky);

  resize(800, 471 + statusBar()->sizeHint().height() + sapc_->tabBar()->sizeHint().height() / 4);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  obsluha(dialogs_, [this] { FormCreate(); });
  vybratuf_ = new Tvybratuf(con_, dialogs_, [this] { return pripojzpolicek(); }, this);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  vytvoreno_ = false;  // until the settings are in the fields
  switch (samoaktualizace(QCoreApplication::applicationFilePath(), QString::fromStdString(folder_), dialogs_)) {
    case Samoaktualizace::selhala:
      return;
    case Samoaktualizace::predano:
      // This copy ends as soon as its message loop runs; the new one is started.
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
      break;
    case Samoaktualizace::pokracovat:
      break;
  }
  nactiini();
  vytvoreno_ = true;
  layout_.nacti();
  obnovrozlozeni();
  zjistinovouverzi();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (zobrazeno_) return;
  zobrazeno_ = true;
  // After the window has painted, so that the connection attempt runs behind a visible window.
  QTimer::singleShot(0, this, [this] {
    obsluha(dialogs_, [this] { FormShow(); });
    zobrazenoHotovo_ = true;
  });
}

void TForm1::FormShow() {
  if (!serverportle_->text().isEmpty() && !jmenole_->text().isEmpty() && !heslole_->text().isEmpty() &&
      !databazecb_->currentText().isEmpty()) {
    testcon(serverportle_->text(), databazecb_->currentText(), jmenole_->text(), heslole_->text(), false, false,
            /*aktualizovat=*/true);
  }
  sapc_->setCurrentIndex(nastavenits);
}

void TForm1::closeEvent(QCloseEvent* event) {
  obsluha(dialogs_, [this] { FormClose(); });
  event->accept();
}

void TForm1::FormClose() {
  // Settings that never reached the fields (the self-update or the loading
  // failed at start) are not saved: empty fields would overwrite the real file.
  if (!vytvoreno_) return;
  // The layout first: a settings file that cannot be written must not cost the window its layout.
  ulozrozlozeni();
  ulozini();
}

void TForm1::zmenastranky(int index) {
  const int predchozi = std::exchange(strana_, index);
  obsluha(dialogs_, [&] {
    if (predchozi == sluzbats && index != sluzbats) zjistinovouverzi();
    switch (index) {
      case zakazkyts: zakazky_->zobrazeno(); break;
      case zarizenits: zarizeni_->zobrazeno(); break;
      case zalohovanits: zalohovani_->zobrazeno(); break;
      case logts: logre_->zobrazeno(); break;
      case logsluzbats: logsluzbare_->zobrazeno(); break;
      case sluzbats: sluzbatsShow(); break;
      case oprogramuts: zjistinovouverzi(); break;
      default: break;
    }
  });
}

void TForm1::vyberprijemce(QLineEdit* pole) {
  if (vybratuf_->vyber()) pole->setText(vybratuf_->getusers());
}

void TForm1::obnovrozlozeni() {
  const auto left = layout_.cislo("Left"), top = layout_.cislo("Top");
  const auto width = layout_.cislo("Width"), height = layout_.cislo("Height");
  if (width && height && *width > 0 && *height > 0) resize(*width, *height);
  if (left && top) move(*left, *top);
  if (layout_.cislo("WindowState").value_or(0) == 2) setWindowState(windowState() | Qt::WindowMaximized);
  for (EditorUloh* e : {zakazky_, zarizeni_, zalohovani_}) {
    UlohyGrid& grid = *e->grid();
    std::vector<std::optional<QString>> sloupce;
    for (int c = 0; c < kPocetPoli; ++c) {
      const auto text = layout_.hodnota(klicsloupce(grid, c).toStdString());
      sloupce.push_back(text ? std::optional<QString>(QString::fromStdString(*text)) : std::nullopt);
    }
    grid.nastavrozlozeni(sloupce);
  }
}

void TForm1::ulozrozlozeni() {
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  layout_.zapis("Left", std::to_string(normal.x()));
  layout_.zapis("Top", std::to_string(normal.y()));
  layout_.zapis("Width", std::to_string(normal.width()));
  layout_.zapis("Height", std::to_string(normal.height()));
  layout_.zapis("WindowState", isMaximized() ? "2" : "0");
  for (EditorUloh* e : {zakazky_, zarizeni_, zalohovani_}) {
    for (int c = 0; c < kPocetPoli; ++c) {
      layout_.zapis(klicsloupce(*e->grid(), c).toStdString(), e->grid()->rozlozenisloupce(c).toStdString());
    }
  }
  layout_.uloz();
}

}  // namespace dorvik::setup
