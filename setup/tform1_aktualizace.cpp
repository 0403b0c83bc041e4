// TForm1's component update: brings the runner, the service program and the setup tool up to the published versions.
#include <filesystem>
#include <optional>
#include <system_error>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryFile>
#include <QThread>

#include "platform/http_client.h"
#include "setup/busy_call.h"
#include "setup/dialogs.h"
#include "setup/novaverze.h"
#include "setup/procesy.h"
#include "setup/servicemanager/servicemanager.h"
#include "setup/soubory_programu.h"
#include "setup/sprava_sluzby.h"
#include "setup/tform1.h"

namespace dorvik::setup {
namespace {

const QString kNenainstalovano = QStringLiteral("nenainstalováno");

QString stav() { return QString::fromStdString(stavsluzby(kSluzba)); }

// The runner must not be replaced while it runs. Windows names it "uloha.exe",
// and a name starting with that is the runner; here the name has no suffix,
// and "uloha" as a prefix would also match other programs, so it must be equal.
bool ulohabezi() {
#ifdef _WIN32
  return procesbezi(souborulohy());
#else
  return procesexistuje(souborulohy());
#endif
}

}  // namespace

void TForm1::aktualizacebClick() {
  if (dialogs_.otazka(QStringLiteral("Otázka"), QStringLiteral("Opravdu aktualizovat? Tato operace může trvat i několik minut"))) {
    aktualizace();
  }
}

void TForm1::popismradek(const QString& radek) { popism_->appendPlainText(radek); }

QString TForm1::stahniprogram(const char* cesta, const QString& soubor, const std::optional<QString>& verze) {
  // Without a published version nothing could tell the right program from a wrong one.
  if (verze && verze->isEmpty()) {
    return QStringLiteral("The published version of %1 is not known (the version document could not be read); the "
                          "installed program was left as it was.")
        .arg(QString::fromLatin1(cesta));
  }
  const QString cil = QString::fromStdString(folder_) + soubor;
  const QString slozka = QFileInfo(cil).absolutePath();
  if (!QDir().mkpath(slozka)) return QStringLiteral("Cannot create the folder \"%1\".").arg(slozka);
  // Downloaded beside the program, so that the finished file takes the
  // program's name by a rename, and the program stays whole until then.
  QTemporaryFile docasny(cil + QStringLiteral(".XXXXXX.stahuje"));
  if (!docasny.open()) return QStringLiteral("Cannot create a file in \"%1\": %2").arg(slozka, docasny.errorString());
  docasny.close();
  const std::string url = (adresaaktualizaci() + QLatin1String(cesta)).toStdString();
  try {
    busyCall([&] { platform::httpDownload(url, docasny.fileName().toStdString()); }, prubeh_);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  }
  // A complete download is still refused unless it is the program that was published.
  const QString stazena = verzesouboru(docasny.fileName());
  if (verze && stazena != *verze) {
    return QStringLiteral("The downloaded file %1 has version \"%2\", but the published version is \"%3\"; the "
                          "installed program was left as it was.")
        .arg(QString::fromLatin1(cesta), stazena, *verze);
  }
  if (!verze && stazena.isEmpty()) {
    return QStringLiteral("The downloaded file %1 carries no version: it is not a program of this add-on.")
        .arg(QString::fromLatin1(cesta));
  }
  const auto prava = QFileInfo::exists(cil) ? QFile::permissions(cil)
                                            : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                  QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
  docasny.setPermissions(prava);
  std::error_code chyba;
  std::filesystem::rename(docasny.fileName().toStdString(), cil.toStdString(), chyba);
  if (chyba) return QStringLiteral("Cannot replace \"%1\": %2").arg(cil, QString::fromStdString(chyba.message()));
  docasny.setAutoRemove(false);  // it is the program now
  return {};
}

void TForm1::aktualizace() {
  const auto chyba = [this](const QString& text, const QString& duvod = {}) {
    dialogs_.zprava(QStringLiteral("chyba"), duvod.isEmpty() ? text : text + QLatin1Char('\n') + duvod, Ikona::Chyba);
  };
  if (!pripojeno(adresaaktualizaci())) {
    chyba(QStringLiteral("Ověřte funkčnost síťového připojení."));
    return;
  }
  const QString slozka = QString::fromStdString(folder_);
  const QString uloha = slozka + souborulohy();
  const QString sluzba = slozka + souborsluzby();
  if (!QFileInfo::exists(uloha)) {
    if (const QString e = stahniprogram(kCestaUlohy, souborulohy(), std::nullopt); !e.isEmpty()) {
      chyba(QStringLiteral("Soubor uloha.exe neexistuje a nepodařilo se ho nainstalovat automaticky."), e);
    }
  }
  if (!QFileInfo::exists(sluzba)) {
    if (const QString e = stahniprogram(kCestaSluzby, souborsluzby(), std::nullopt); !e.isEmpty()) {
      chyba(QStringLiteral("Soubor služby neexistuje a nepodařilo se ho nainstalovat automaticky."), e);
    }
  }
  if (!jespravce()) {
    zpravaopravech(dialogs_);
    return;
  }
  Tnovaverze v;
  novaverze(v);

  if (QFileInfo::exists(uloha) && verzesouboru(uloha) != v.verzeuloha) {
    if (ulohabezi()) {
      chyba(QStringLiteral("Úloha zřejmě právě běží a proto ji nelze aktualizovat."));
    } else if (const QString e = stahniprogram(kCestaUlohy, souborulohy(), v.verzeuloha); e.isEmpty()) {
      popismradek(QStringLiteral("Úloha aktualizována."));
    } else {
      chyba(QStringLiteral("Soubor uloha.exe nelze aktualizovat. Ověřte funkčnost síťového připojení."), e);
    }
  }

  if (QFileInfo::exists(sluzba) && verzesouboru(sluzba) != v.verzedvsc) {
    const QString p = stav();
    if (p == QStringLiteral("spuštěno")) {
      popismradek(QStringLiteral("zastavuje se služba..."));
      const std::string e = zastavsluzbu(kSluzba);
      QThread::msleep(2000);
      if (!e.empty()) {
        chyba(QStringLiteral("Službu nelze zastavit.") + QString::fromStdString(e));
        return;
      }
    }
    QString s = stav();
    if (s == QStringLiteral("pozastaveno") || s == QStringLiteral("vypnuto")) {
      popismradek(QStringLiteral("odinstalovává se služba..."));
      spustapockej(prikazsluzby(slozka, "/uninstall"));
    }
    s = stav();
    popismradek(s);
    // A service still registered (still stopping, say) is left alone.
    if (s == kNenainstalovano) {
      if (const QString e = stahniprogram(kCestaSluzby, souborsluzby(), v.verzedvsc); !e.isEmpty()) {
        popismradek(QStringLiteral("službu se nepodařilo aktualizovat"));
        popismradek(e);
      }
      aktualizovatstavsluzby();
      popismradek(QStringLiteral("instaluje se služba..."));
      if (p != kNenainstalovano && QFileInfo::exists(sluzba)) spustapockej(prikazsluzby(slozka, "/install"));
      if (p == QStringLiteral("spuštěno")) {
        if (const std::string e = spustsluzbu(kSluzba); !e.empty()) {
          chyba(QStringLiteral("Službu nelze spustit.") + QString::fromStdString(e));
        }
      }
    }
  }

  if (verzesouboru(QCoreApplication::applicationFilePath()) != v.verzedv) {
    if (const QString e = stahniprogram(kCestaNastroje, soubornovehonastroje(), v.verzedv); e.isEmpty()) {
      spustsoubor(slozka + soubornovehonastroje());
      close();
      return;
    } else {
      // Reported only here: the setup tool that runs stays as it is.
      popismradek(e);
    }
  }
  zjistinovouverzi();
}

}  // namespace dorvik::setup
