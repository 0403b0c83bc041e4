// TForm1's mail test: checks the mail fields, asks for a target address and sends one test mail.
#include <QApplication>
#include <QLineEdit>

#include "core/mail/sendmailunit.h"
#include "setup/dialogs.h"
#include "setup/tform1.h"

namespace dorvik::setup {

void TForm1::testemailbClick() {
  if (smtpjmenole_->text().isEmpty() || smtpheslole_->text().isEmpty() || smtpserverle_->text().isEmpty() ||
      smtpportle_->text().isEmpty() || !overemail(smtpfromle_->text().toStdString())) {
    // The test goes on after this box: the user may still try the address.
    dialogs_.zprava(QStringLiteral("chyba"), QStringLiteral("Nejsou vyplněny potřebné údaje."), Ikona::Chyba);
  }
  const auto adresa = dialogs_.vstup(QStringLiteral("zadejte cílový email"), QString(), QString());
  if (!adresa || !overemail(adresa->toStdString())) return;

  std::string vysledek;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct CursorBack {
    ~CursorBack() { QApplication::restoreOverrideCursor(); }
  } cursorBack;
  posliemail(smtpserverle_->text().toStdString(), smtpportle_->text().toStdString(),
             smtpjmenole_->text().toStdString(), smtpheslole_->text().toStdString(), osobale_->text().toStdString(),
             smtpfromle_->text().toStdString(), adresa->toStdString(), subjektle_->text().toStdString(),
             "testovací zpráva", "", "", /*silent=*/false, vysledek);
  if (!vysledek.empty()) dialogs_.zprava(QStringLiteral("chyba"), QString::fromStdString(vysledek), Ikona::Chyba);
}

}  // namespace dorvik::setup
