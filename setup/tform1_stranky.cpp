// TForm1's service page and version page: their captions and layout; their functions come in a later build.
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "setup/tform1.h"

namespace dorvik::setup {
namespace {

QLabel* nedostupne(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QStringLiteral("nedostupnel"));
  l->setWordWrap(true);
  l->setProperty("notice", true);
  return l;
}

}  // namespace

QWidget* TForm1::vytvorsluzbu() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("sluzbats"));
  auto* g = new QGridLayout(page);
  // The state is not read in this version, so the label does not claim to be finding it out.
  auto* stavsluzbyl = new QLabel(QStringLiteral("stav služby se v této verzi programu nezjišťuje"), page);
  stavsluzbyl->setObjectName(QStringLiteral("stavsluzbyl"));
  g->addWidget(stavsluzbyl, 0, 0, 1, 3);
  int column = 0;
  for (const auto& [name, caption] : {std::pair{"aktualizovatb", "aktualizovat"}, std::pair{"startb", "start"},
                                      std::pair{"instalovatb", "instalovat"}}) {
    auto* b = new QPushButton(QString::fromUtf8(caption), page);
    b->setObjectName(QString::fromLatin1(name));
    // Nothing here controls the service yet, so no button pretends to.
    b->setEnabled(false);
    g->addWidget(b, 1, column++);
  }
  auto* kontrolal = new QLabel(QStringLiteral("kontrola úloh v intervalu [sec]"), page);
  kontrolal->setObjectName(QStringLiteral("kontrolal"));
  dvscse_ = new QSpinBox(page);
  dvscse_->setObjectName(QStringLiteral("dvscse"));
  dvscse_->setRange(30, 3600);
  dvscse_->setValue(30);
  kontrolal->setBuddy(dvscse_);
  g->addWidget(kontrolal, 2, 0);
  g->addWidget(dvscse_, 2, 1);
  g->addWidget(nedostupne(QStringLiteral("Instalace, spuštění a zastavení služby nejsou v této verzi programu zatím "
                                         "k dispozici. Interval kontroly úloh se uloží při zavření okna."),
                          page),
               3, 0, 1, 3);
  g->setRowStretch(4, 1);
  g->setColumnStretch(3, 1);
  return page;
}

QWidget* TForm1::vytvoroprogramu() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("oprogramuts"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(nedostupne(QStringLiteral("Zjištění verzí a aktualizace programu nejsou v této verzi programu "
                                              "zatím k dispozici."),
                               page));
  auto* popis = new QPlainTextEdit(page);
  popis->setObjectName(QStringLiteral("popism"));
  popis->setReadOnly(true);
  layout->addWidget(popis, 1);
  return page;
}

}  // namespace dorvik::setup
