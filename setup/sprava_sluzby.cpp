// jespravce, spustapockej, the service program's command lines and the TLS library check.
#include "setup/sprava_sluzby.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QStringList>

#include "platform/admin_rights.h"
#include "platform/run_and_wait.h"
#include "setup/dialogs.h"
#include "setup/soubory_programu.h"

namespace dorvik::setup {
namespace {

std::function<bool()>& kontrolaprav() {
  static std::function<bool()> kontrola = [] { return platform::hasAdministratorRights(); };
  return kontrola;
}

}  // namespace

bool jespravce() { return kontrolaprav()(); }

void nahradjespravce(std::function<bool()> kontrola) { kontrolaprav() = std::move(kontrola); }

void zpravaopravech(Dialogs& dialogs) {
  dialogs.zprava(QStringLiteral("Chyba nedostatečné oprávnění."),
                 QStringLiteral("Pro tuto funkci musí být program spuštěn s právy administrátora, ukončete program, "
                                "pravým tl. myši na ikoně programu zvolte spustit jako správce..."),
                 Ikona::Chyba);
}

void spustapockej(const QString& prikaz) {
  platform::runAndWait(prikaz.toStdString(), [] { QCoreApplication::processEvents(); });
}

VzhledSluzby vzhledsluzby(const QString& stav, const QString& startb) {
  const bool nenainstalovano = stav == QStringLiteral("nenainstalováno");
  VzhledSluzby v{startb, !nenainstalovano, nenainstalovano ? QStringLiteral("instalovat") : QStringLiteral("odinstalovat")};
  if (stav == QStringLiteral("pozastaveno") || stav == QStringLiteral("vypnuto")) v.startb = QStringLiteral("spustit");
  if (stav == QStringLiteral("spuštěno")) v.startb = QStringLiteral("zastavit");
  return v;
}

QString prikazsluzby(const QString& slozka, const char* prepinac) {
  // Quoted, so that a program folder with blanks still names one program.
  return QLatin1Char('"') + slozka + souborsluzby() + QStringLiteral("\" ") + QLatin1String(prepinac);
}

QString chybejicitlsknihovny() {
  // Here TLS comes from the system's packages; the mail sender reaches it through libcurl.
  QStringList chybi;
  for (const char* knihovna : {"libcurl.so.4", "libssl.so.3", "libcrypto.so.3"}) {
    if (void* h = ::dlopen(knihovna, RTLD_LAZY | RTLD_LOCAL)) {
      ::dlclose(h);
    } else {
      chybi << QString::fromLatin1(knihovna);
    }
  }
  return chybi.join(QStringLiteral(", "));
}

}  // namespace dorvik::setup
