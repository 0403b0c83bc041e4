// Tvybratuf: showing, reading the user list, and the result text.
#include "setup/tvybratuf.h"

#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "core/db/statement.h"
#include "setup/dialogs.h"
#include "setup/handler_guard.h"

namespace dorvik::setup {

Tvybratuf::Tvybratuf(db::Connection& con, Dialogs& dialogs, std::function<bool()> pripoj, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      con_(con),
      dialogs_(dialogs),
      pripoj_(std::move(pripoj)),
      uchlb_(new QListWidget(this)) {
  setObjectName(QStringLiteral("vybratuf"));
  setWindowTitle(QStringLiteral("vybrat uživatele"));
  setModal(true);
  uchlb_->setObjectName(QStringLiteral("uchlb"));
  auto* zrusitb = new QPushButton(QStringLiteral("zrušit"), this);
  zrusitb->setObjectName(QStringLiteral("zrusitb"));
  auto* potvrditb = new QPushButton(QStringLiteral("potvrdit"), this);
  potvrditb->setObjectName(QStringLiteral("potvrditb"));
  connect(zrusitb, &QPushButton::clicked, this, &QDialog::reject);
  connect(potvrditb, &QPushButton::clicked, this, &QDialog::accept);
  // 202 × 249 at 100 %: the list fills the upper 201 pixels, the buttons sit below it.
  setFixedSize(202, 249);
  uchlb_->setGeometry(0, 0, 202, 201);
  zrusitb->setGeometry(8, 213, 75, 27);
  potvrditb->setGeometry(119, 213, 75, 27);
}

bool Tvybratuf::vyber() { return exec() == QDialog::Accepted; }

void Tvybratuf::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) obsluha(dialogs_, [this] { FormShow(); });
}

void Tvybratuf::FormShow() {
  if (con_.isOpen()) {
    otevriuq();
    return;
  }
  if (pripoj_()) {
    otevriuq();
  } else {
    dialogs_.zprava(QStringLiteral("chyba"), QStringLiteral("Připojení k databázi není dostupné."), Ikona::Chyba);
  }
}

void Tvybratuf::otevriuq() {
  // Opening an open query does nothing: the names and their ticks stay.
  if (uqOpen_ && uqGeneration_ == con_.generation() && con_.isOpen()) return;
  QStringList names;
  db::Statement uq(con_);
  uq.execute("select uzivatel from users order by uzivatel");
  while (uq.next()) names << QString::fromStdString(uq.field(0).asText());
  uqOpen_ = true;
  uqGeneration_ = con_.generation();
  uqAfterOpen(names);
}

void Tvybratuf::uqAfterOpen(const QStringList& names) {
  uchlb_->clear();
  for (const QString& name : names) {
    auto* item = new QListWidgetItem(name, uchlb_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
}

QString Tvybratuf::getusers() const {
  QString result;
  for (int i = 0; i < uchlb_->count(); ++i) {
    if (uchlb_->item(i)->checkState() == Qt::Checked) result += uchlb_->item(i)->text() + QLatin1Char(';');
  }
  return result;
}

}  // namespace dorvik::setup
