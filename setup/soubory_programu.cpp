// File names of the add-on's programs and the update server's address.
#include "setup/soubory_programu.h"

#include <QUrl>

#include "core/ini_document.h"
#include "platform/program_folder.h"

#ifndef DORVIK_UPDATE_SERVER
#error "DORVIK_UPDATE_SERVER (the default update server address) is set by the build"
#endif

namespace dorvik::setup {
namespace {

QString program(const char* name) { return QString::fromLatin1(name) + QString::fromLatin1(platform::kExecutableSuffix); }

QString bezlomitka(QString adresa) {
  adresa = adresa.trimmed();
  while (adresa.endsWith(QLatin1Char('/'))) adresa.chop(1);
  return adresa;
}

}  // namespace

QString souborulohy() { return program("uloha"); }
QString souborsluzby() { return QStringLiteral("dvsc") + QLatin1Char(platform::pathSeparator()) + program("dvsc"); }
QString soubornastroje() {
#ifdef _WIN32
  return QStringLiteral("dorvik.exe");
#else
  return QStringLiteral("dorvik-setup");
#endif
}
QString soubornovehonastroje() { return program("dorvika"); }

QString adresaaktualizaci(const IniDocument& nastaveni) {
  if (const auto klic = nastaveni.value("setup", kKlicAktualizace); klic && !bezlomitka(QString::fromStdString(*klic)).isEmpty()) {
    return bezlomitka(QString::fromStdString(*klic));
  }
  const QString prostredi = bezlomitka(qEnvironmentVariable("DORVIK_UPDATE_SERVER"));
  if (!prostredi.isEmpty()) return prostredi;
  return bezlomitka(QStringLiteral(DORVIK_UPDATE_SERVER));
}

bool adresajemistni(const QString& adresa) {
  const QString host = QUrl(adresa).host();
  if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) return true;
  // QUrl gives an IPv6 host without its brackets.
  return host.startsWith(QStringLiteral("127.")) || host == QStringLiteral("::1");
}

}  // namespace dorvik::setup
