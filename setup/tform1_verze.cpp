// TForm1's page "o programu": installed against published versions, and the update check that fills it.
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "setup/handler_guard.h"
#include "setup/soubory_programu.h"
#include "setup/tform1.h"
#include "setup/tgetnovaverze.h"

namespace dorvik::setup {
namespace {

QLabel* popisek(const char* name, const QString& caption, QWidget* parent) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

// Red for a published version that differs from the installed one, else the palette's own text colour.
void obarvi(QLabel* label, bool lisi) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, lisi ? QColor(255, 0, 0) : label->parentWidget()->palette().color(QPalette::WindowText));
  label->setPalette(p);
}

}  // namespace

QWidget* TForm1::vytvoroprogramu() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("oprogramuts"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      popisek("oprogramul", QStringLiteral("doplněk programu Vorlak pro automatizované zpracování událostí"), page));

  auto* aktualizacegb = new QGroupBox(QStringLiteral("aktualizace"), page);
  aktualizacegb->setObjectName(QStringLiteral("aktualizacegb"));
  auto* g = new QGridLayout(aktualizacegb);
  g->addWidget(popisek("dostupneverzel", QStringLiteral("dostupné verze:"), aktualizacegb), 0, 2);
  g->addWidget(popisek("Label6", QStringLiteral("verze programu:"), aktualizacegb), 1, 0);
  g->addWidget(popisek("Label7", QStringLiteral("verze služby:"), aktualizacegb), 2, 0);
  g->addWidget(popisek("Label8", QStringLiteral("verze úlohy:"), aktualizacegb), 3, 0);
  verzeprogramuol_ = popisek("verzeprogramuol", QStringLiteral("verzeprogramuol"), aktualizacegb);
  verzesluzbyol_ = popisek("verzesluzbyol", QStringLiteral("verzesluzbyol"), aktualizacegb);
  verzeulohyol_ = popisek("verzeulohyol", QStringLiteral("verzeulohyol"), aktualizacegb);
  verzeprogramul_ = popisek("verzeprogramul", QStringLiteral("verzeprogramul"), aktualizacegb);
  verzesluzbyl_ = popisek("verzesluzbyl", QStringLiteral("verzesluzbyl"), aktualizacegb);
  verzeulohy_ = popisek("verzeulohy", QStringLiteral("verzeulohyl"), aktualizacegb);
  g->addWidget(verzeprogramuol_, 1, 1);
  g->addWidget(verzesluzbyol_, 2, 1);
  g->addWidget(verzeulohyol_, 3, 1);
  g->addWidget(verzeprogramul_, 1, 2);
  g->addWidget(verzesluzbyl_, 2, 2);
  g->addWidget(verzeulohy_, 3, 2);
  g->setColumnStretch(3, 1);
  layout->addWidget(aktualizacegb);

  auto* aktualizaceb = new QPushButton(QStringLiteral("aktualizace"), page);
  aktualizaceb->setObjectName(QStringLiteral("aktualizaceb"));
  auto* radek = new QHBoxLayout;
  radek->addWidget(aktualizaceb);
  radek->addStretch();
  layout->addLayout(radek);

  popism_ = new QPlainTextEdit(page);
  popism_->setObjectName(QStringLiteral("popism"));
  popism_->setReadOnly(true);
  popism_->setFrameShape(QFrame::NoFrame);
  layout->addWidget(popism_, 1);

  connect(aktualizaceb, &QPushButton::clicked, this, [this] { obsluha(dialogs_, [this] { aktualizacebClick(); }); });
  return page;
}

QString TForm1::adresaaktualizaci() const { return setup::adresaaktualizaci(ini_); }

void TForm1::novaverze(Tnovaverze& v) const { setup::novaverze(adresaaktualizaci(), v); }

void TForm1::zjistinovouverzi() {
  const QString adresa = adresaaktualizaci();
  if (!pripojeno(adresa)) return;
  auto* vlakno = new Tgetnovaverze(adresa);
  // The window is the receiver's context: a check that ends after the window
  // is gone delivers to nobody instead of touching destroyed widgets.
  connect(vlakno, &Tgetnovaverze::hotovo, this, [this](const Tnovaverze& newver) { zobrazverze(newver); },
          Qt::QueuedConnection);
  connect(vlakno, &QThread::finished, vlakno, &QObject::deleteLater);
  // Nothing keeps the thread: it deletes itself when done, and an earlier check
  // still running displays its own result when it ends.
  ++spustenekontroly_;
  vlakno->start(QThread::LowPriority);
}

void TForm1::zobrazverze(const Tnovaverze& newver) {
  const QString slozka = QString::fromStdString(folder_);
  const auto nainstalovana = [&](const QString& soubor) {
    const QString cesta = slozka + soubor;
    return QFileInfo::exists(cesta) ? verzesouboru(cesta) : QStringLiteral("nenalezeno");
  };
  const QString P = verzesouboru(QCoreApplication::applicationFilePath());
  const QString U = nainstalovana(souborulohy());
  const QString S = nainstalovana(souborsluzby());
  verzeprogramuol_->setText(P);
  verzeulohyol_->setText(U);
  verzesluzbyol_->setText(S);
  verzeprogramul_->setText(newver.verzedv);
  verzesluzbyl_->setText(newver.verzedvsc);
  verzeulohy_->setText(newver.verzeuloha);
  popism_->setPlainText(QStringLiteral("používáte aktuální verzi programu"));
  sb1_->setText(QStringLiteral("používáte aktuální verzi programu"));
  // Equal means equal text: a lower published version is an update too.
  obarvi(verzeprogramul_, P != newver.verzedv);
  obarvi(verzeulohy_, U != newver.verzeuloha);
  obarvi(verzesluzbyl_, S != newver.verzedvsc);
  if (P != newver.verzedv || U != newver.verzeuloha || S != newver.verzedvsc) {
    sb1_->setText(QStringLiteral("existují aktualizace"));
    popism_->setPlainText(newver.popis);
  }
  ++zobrazenekontroly_;
}

}  // namespace dorvik::setup
