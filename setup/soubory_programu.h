// Where the add-on's programs lie in the program folder, and where the update server publishes them.
#pragma once
#include <string>

#include <QString>

namespace dorvik {
class IniDocument;
}

namespace dorvik::setup {

// Local file names, relative to the program folder. On Windows they carry
// ".exe"; elsewhere the setup tool is "dorvik-setup", because "dorvik" is
// the settings file's name in the same folder.
QString souborulohy();         // "uloha.exe" / "uloha"
QString souborsluzby();        // "dvsc\dvsc.exe" / "dvsc/dvsc"
QString soubornastroje();      // "dorvik.exe" / "dorvik-setup"
QString soubornovehonastroje();  // "dorvika.exe" / "dorvika": the new setup tool before it takes the regular name

// Paths on the update server; they are the same for every platform's build.
inline constexpr const char* kCestaVerze = "/data/vorlak8/dv.php";
inline constexpr const char* kCestaUlohy = "/data/vorlak8/uloha.exe";
inline constexpr const char* kCestaSluzby = "/data/vorlak8/dvsc.exe";
inline constexpr const char* kCestaNastroje = "/data/vorlak8/dorvika.exe";
inline constexpr const char* kCestaLibeay = "/data/vorlak3/libeay32.dll";
inline constexpr const char* kCestaSsleay = "/data/vorlak3/ssleay32.dll";

// The settings key holding the update server's base address (section "setup").
inline constexpr const char* kKlicAktualizace = "aktualizace";

// The update server's base address without a trailing "/": the settings key
// when it is set, else the environment variable DORVIK_UPDATE_SERVER, else
// the address built into the program.
QString adresaaktualizaci(const IniDocument& nastaveni);

// True when the address names this computer (localhost or a loopback address):
// such a server is reachable without a network.
bool adresajemistni(const QString& adresa);

}  // namespace dorvik::setup
