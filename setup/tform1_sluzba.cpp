// TForm1's service page "služba Dorvik": the service's state, start and stop, install and removal, the poll interval.
#include <exception>

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>

#include "setup/dialogs.h"
#include "setup/handler_guard.h"
#include "setup/servicemanager/servicemanager.h"
#include "setup/soubory_programu.h"
#include "setup/sprava_sluzby.h"
#include "setup/tform1.h"

namespace dorvik::setup {

QWidget* TForm1::vytvorsluzbu() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("sluzbats"));
  auto* g = new QGridLayout(page);
  stavsluzbyl_ = new QLabel(QStringLiteral("... zjišťuje se stav služby"), page);
  stavsluzbyl_->setObjectName(QStringLiteral("stavsluzbyl"));
  stavsluzbyl_->setWordWrap(true);
  g->addWidget(stavsluzbyl_, 0, 0, 1, 4);
  const auto tlacitko = [&](const char* name, const char* caption, int column) {
    auto* b = new QPushButton(QString::fromUtf8(caption), page);
    b->setObjectName(QString::fromLatin1(name));
    g->addWidget(b, 1, column);
    return b;
  };
  aktualizovatb_ = tlacitko("aktualizovatb", "aktualizovat", 0);
  startb_ = tlacitko("startb", "start", 1);
  instalovatb_ = tlacitko("instalovatb", "instalovat", 2);
  auto* kontrolal = new QLabel(QStringLiteral("kontrola úloh v intervalu [sec]"), page);
  kontrolal->setObjectName(QStringLiteral("kontrolal"));
  dvscse_ = new QSpinBox(page);
  dvscse_->setObjectName(QStringLiteral("dvscse"));
  dvscse_->setRange(30, 3600);
  dvscse_->setValue(30);
  kontrolal->setBuddy(dvscse_);
  g->addWidget(kontrolal, 2, 0, 1, 2);
  g->addWidget(dvscse_, 2, 2);
  g->setRowStretch(3, 1);
  g->setColumnStretch(3, 1);

  connect(aktualizovatb_, &QPushButton::clicked, this,
          [this] { obsluha(dialogs_, [this] { aktualizovatstavsluzby(); }); });
  connect(startb_, &QPushButton::clicked, this, [this] { obsluha(dialogs_, [this] { startbClick(); }); });
  connect(instalovatb_, &QPushButton::clicked, this, [this] { obsluha(dialogs_, [this] { instalovatbClick(); }); });
  return page;
}

void TForm1::aktualizovatstavsluzby() {
  aktualizovatb_->setEnabled(false);
  stavsluzbyl_->setText(QStringLiteral("zjišťuje se stav služby"));
  startb_->setEnabled(false);
  instalovatb_->setEnabled(false);
  QString s;
  try {
    s = QString::fromStdString(stavsluzby(kSluzba));
  } catch (const std::exception& e) {
    // No state is shown that was not read: the page says why, and only re-reading stays possible.
    stavsluzbyl_->setText(QStringLiteral("stav služby nelze zjistit: ") + QString::fromUtf8(e.what()));
    aktualizovatb_->setEnabled(true);
    throw;
  }
  const VzhledSluzby v = vzhledsluzby(s, startb_->text());
  instalovatb_->setText(v.instalovatb);
  stavsluzbyl_->setText(s);
  startb_->setText(v.startb);
  startb_->setEnabled(v.startbEnabled);
  instalovatb_->setEnabled(true);
  aktualizovatb_->setEnabled(true);
}

void TForm1::sluzbatsShow() {
  try {
    aktualizovatstavsluzby();
  } catch (const std::exception&) {
    // Showing the page is no action of the user's: the label already says why.
  }
  if (!jespravce()) sb1_->setText(QStringLiteral("Pro práci se službou musíte program spustit jako správce.."));
}

void TForm1::startbClick() {
  if (!jespravce()) {
    zpravaopravech(dialogs_);
    return;
  }
  startb_->setEnabled(false);
  if (stavsluzby(kSluzba) == "nenainstalováno") return;
  const auto chyba = [this](const QString& zacatek, const std::string& e) {
    if (!e.empty()) dialogs_.zprava(QStringLiteral("chyba"), zacatek + QString::fromStdString(e), Ikona::Chyba);
  };
  if (startb_->text() == QStringLiteral("spustit")) {
    chyba(QStringLiteral("Službu nelze spustit."), spustsluzbu(kSluzba));
  } else if (startb_->text() == QStringLiteral("zastavit")) {
    chyba(QStringLiteral("Službu nelze zastavit."), zastavsluzbu(kSluzba));
  }
  // The order is not waited for; a second later the state may still be pending.
  QThread::msleep(1000);
  aktualizovatstavsluzby();
  startb_->setEnabled(true);
}

void TForm1::instalovatbClick() {
  if (!jespravce()) {
    zpravaopravech(dialogs_);
    return;
  }
  const QString chybi = chybejicitlsknihovny();
  if (!chybi.isEmpty()) {
    // Nothing is downloaded here: the libraries come with the system's packages.
    dialogs_.zprava(QStringLiteral("chyba"),
                    QStringLiteral("Chybí knihovny TLS, bez kterých úloha neodešle e-mail: ") + chybi +
                        QStringLiteral(". Nainstalujte je správcem balíčků systému."),
                    Ikona::Varovani);
  }
  const QString slozka = QString::fromStdString(folder_);
  if (!QFileInfo::exists(slozka + souborsluzby())) {
    dialogs_.zprava(QStringLiteral("chyba"), QStringLiteral("Služba nenalezena."), Ikona::Chyba);
    return;
  }
  const bool instalovat = instalovatb_->text() == QStringLiteral("instalovat");
  spustapockej(prikazsluzby(slozka, instalovat ? "/install" : "/uninstall"));
  aktualizovatstavsluzby();
}

}  // namespace dorvik::setup
