// novaverze, verzesouboru, pripojeno: what is published and what is installed.
#include "setup/novaverze.h"

#include <exception>
#include <map>

#include <QXmlStreamReader>

#include "platform/error.h"
#include "platform/file_version.h"
#include "platform/http_client.h"
#include "platform/network_state.h"
#include "setup/soubory_programu.h"

namespace dorvik::setup {

bool pripojeno(const QString& adresa) { return adresajemistni(adresa) || platform::networkConnected(); }

void prectiverze(const QByteArray& dokument, Tnovaverze& v) {
  // The whole document is checked before anything is stored: a body that is
  // not XML (an error page, a cut-off answer) must not leave half its values.
  std::map<QString, QString> hodnoty;
  QXmlStreamReader xml(dokument);
  int hloubka = 0;
  while (!xml.atEnd()) {
    const auto token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++hloubka;
      // Direct children of the document element; the first of each name counts.
      if (hloubka == 2) {
        const QString nazev = xml.name().toString();
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        --hloubka;  // readElementText consumed the end element
        hodnoty.try_emplace(nazev, text);
      }
    } else if (token == QXmlStreamReader::EndElement) {
      --hloubka;
    }
  }
  if (xml.hasError()) {
    throw Error("The version document is not valid XML (line " + std::to_string(xml.lineNumber()) + ", column " +
                std::to_string(xml.columnNumber()) + "): " + xml.errorString().toStdString());
  }
  const auto uloz = [&](const char* nazev, QString& pole) {
    if (const auto it = hodnoty.find(QString::fromLatin1(nazev)); it != hodnoty.end()) pole = it->second;
  };
  uloz("verzedv", v.verzedv);
  uloz("verzedvsc", v.verzedvsc);
  uloz("verzeuloha", v.verzeuloha);
  uloz("popis", v.popis);
  uloz("soubory", v.soubory);
}

void novaverze(const QString& adresa, Tnovaverze& v) {
  if (!pripojeno(adresa)) return;
  try {
    const std::string telo = platform::httpGet((adresa + QLatin1String(kCestaVerze)).toStdString(),
                                              {{"Accept", "*/*"}, {"Content-Type", "text/xml"}});
    prectiverze(QByteArray::fromStdString(telo), v);
  } catch (const std::exception& e) {
    v.popis = QString::fromUtf8(e.what());
  }
}

QString verzesouboru(const QString& cesta) {
  return QString::fromStdString(platform::fileVersionText(cesta.toStdString()));
}

}  // namespace dorvik::setup
