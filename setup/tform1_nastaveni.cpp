// TForm1's settings page: its three group boxes, and nactiini / ulozini between the fields and the settings file.
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/nastaveni.h"
#include "core/settings_file.h"
#include "platform/error.h"
#include "setup/handler_guard.h"
#include "setup/tform1.h"

namespace dorvik::setup {
namespace {

// A labelled edit: the caption above the field, both in one cell of the grid.
template <typename Field>
Field* popsanepole(QGridLayout* grid, int row, int column, const QString& caption, const char* name, QWidget* parent) {
  auto* field = new Field(parent);
  field->setObjectName(QString::fromLatin1(name));
  auto* label = new QLabel(caption, parent);
  label->setBuddy(field);
  grid->addWidget(label, row * 2, column);
  grid->addWidget(field, row * 2 + 1, column);
  return field;
}

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

}  // namespace

QWidget* TForm1::vytvornastaveni() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("nastavenits"));

  auto* databazegb = new QGroupBox(QStringLiteral("databáze programu Vorlak"), page);
  databazegb->setObjectName(QStringLiteral("databazegb"));
  auto* dg = new QGridLayout(databazegb);
  serverportle_ = popsanepole<QLineEdit>(dg, 0, 0, QStringLiteral("server, port"), "serverportle", databazegb);
  jmenole_ = popsanepole<QLineEdit>(dg, 0, 1, QStringLiteral("jméno (login)"), "jmenole", databazegb);
  heslole_ = popsanepole<QLineEdit>(dg, 0, 2, QStringLiteral("heslo"), "heslole", databazegb);
  heslole_->setEchoMode(QLineEdit::Password);
  databazecb_ = popsanepole<QComboBox>(dg, 0, 3, QStringLiteral("databáze"), "databazecb", databazegb);
  databazecb_->setEditable(true);
  databazecb_->setInsertPolicy(QComboBox::NoInsert);
  auto* testdbb = new QPushButton(QStringLiteral("test spojení"), databazegb);
  testdbb->setObjectName(QStringLiteral("testdbb"));
  dg->addWidget(testdbb, 1, 4);

  auto* emailgb = new QGroupBox(QStringLiteral("odesílání zpráv emailem"), page);
  emailgb->setObjectName(QStringLiteral("emailgb"));
  auto* eg = new QGridLayout(emailgb);
  osobale_ = popsanepole<QLineEdit>(eg, 0, 0, QStringLiteral("Jméno odesilatele"), "osobale", emailgb);
  smtpjmenole_ = popsanepole<QLineEdit>(eg, 0, 1, QStringLiteral("přihlašovací jméno"), "smtpjmenole", emailgb);
  smtpheslole_ = popsanepole<QLineEdit>(eg, 0, 2, QStringLiteral("heslo"), "smtpheslole", emailgb);
  smtpheslole_->setEchoMode(QLineEdit::Password);
  smtpfromle_ = popsanepole<QLineEdit>(eg, 0, 3, QStringLiteral("email odesílatele"), "smtpfromle", emailgb);
  subjektle_ = popsanepole<QLineEdit>(eg, 1, 0, QStringLiteral("subjekt"), "subjektle", emailgb);
  smtpserverle_ = popsanepole<QLineEdit>(eg, 1, 1, QStringLiteral("server SMTP"), "smtpserverle", emailgb);
  smtpportle_ = popsanepole<QLineEdit>(eg, 1, 2, QStringLiteral("port"), "smtpportle", emailgb);
  auto* testemailb = new QPushButton(QStringLiteral("test email"), emailgb);
  testemailb->setObjectName(QStringLiteral("testemailb"));
  eg->addWidget(testemailb, 3, 4);

  auto* chatgb = new QGroupBox(QStringLiteral("Uživatel pro odesílání do chatu"), page);
  chatgb->setObjectName(QStringLiteral("chatgb"));
  auto* cg = new QGridLayout(chatgb);
  chatusercb_ = new QComboBox(chatgb);
  chatusercb_->setObjectName(QStringLiteral("chatusercb"));
  chatusercb_->setEditable(true);
  chatusercb_->setInsertPolicy(QComboBox::NoInsert);
  cg->addWidget(chatusercb_, 0, 0);
  cg->setColumnStretch(1, 3);

  for (QGridLayout* g : {dg, eg}) {
    for (int c = 0; c < 4; ++c) g->setColumnStretch(c, 1);
  }

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(databazegb);
  layout->addWidget(emailgb);
  layout->addWidget(chatgb);
  layout->addStretch();

  connect(testdbb, &QPushButton::clicked, this, [this] { obsluha(dialogs_, [this] { testdbbClick(); }); });
  connect(testemailb, &QPushButton::clicked, this, [this] { obsluha(dialogs_, [this] { testemailbClick(); }); });
  // Focus entering the database box from outside it (its line edit belongs to it).
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    const auto inside = [this](QWidget* w) { return w && (w == databazecb_ || databazecb_->isAncestorOf(w)); };
    if (inside(now) && !inside(old)) {
      QMetaObject::invokeMethod(this, [this] { obsluha(dialogs_, [this] { databazecbEnter(); }); },
                                Qt::QueuedConnection);
    }
  });
  return page;
}

void TForm1::nactiini() {
  ini_ = createSettingsDocument(folder_);
  loadSettingsFile(ini_, folder_ + std::string(kSettingsFileName));
  const Nastaveni n = prectinastaveni(ini_);
  serverportle_->setText(q(n.serverportle));
  jmenole_->setText(q(n.jmenole));
  heslole_->setText(q(n.heslole));
  databazecb_->setEditText(q(n.databazecb));
  osobale_->setText(q(n.osobale));
  smtpjmenole_->setText(q(n.smtpjmenole));
  smtpheslole_->setText(q(n.smtpheslole));
  smtpfromle_->setText(q(n.smtpfromle));
  smtpserverle_->setText(q(n.smtpserverle));
  subjektle_->setText(q(n.subjektle));
  smtpportle_->setText(q(n.smtpportle));
  chatusercb_->setEditText(q(n.chatusercb));
  dvscse_->setValue(n.dvscse);
}

void TForm1::ulozini() {
  Nastaveni n;
  n.serverportle = s(serverportle_->text());
  n.jmenole = s(jmenole_->text());
  n.heslole = s(heslole_->text());
  n.databazecb = s(databazecb_->currentText());
  n.osobale = s(osobale_->text());
  n.smtpjmenole = s(smtpjmenole_->text());
  n.smtpheslole = s(smtpheslole_->text());
  n.smtpfromle = s(smtpfromle_->text());
  n.smtpserverle = s(smtpserverle_->text());
  n.subjektle = s(subjektle_->text());
  n.smtpportle = s(smtpportle_->text());
  n.chatusercb = s(chatusercb_->currentText());
  n.dvscse = dvscse_->value();
  zapisnastaveni(ini_, n);
  const std::string path = folder_ + std::string(kSettingsFileName);
  // Never over the program itself (a build whose program is named like the settings file).
  std::error_code error;
  if (std::filesystem::equivalent(path, QCoreApplication::applicationFilePath().toStdString(), error)) {
    throw FileError("The settings file \"" + path + "\" would replace the program itself; it is not saved.");
  }
  saveSettingsFile(ini_, path);
}

}  // namespace dorvik::setup
