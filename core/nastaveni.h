// The thirteen settings keys with their sections and defaults.
#pragma once
#include <string>

#include "core/ini_document.h"

namespace dorvik {

// Values of the settings file; each member is named like its key.
struct Nastaveni {
  // [con]
  std::string serverportle = "localhost,1433";
  std::string jmenole = "sa";
  std::string heslole;
  std::string databazecb;
  // [mail]
  std::string osobale;
  std::string smtpjmenole;
  std::string smtpheslole;
  std::string smtpfromle;
  std::string smtpserverle;
  std::string subjektle;
  std::string smtpportle;
  // [setup]
  std::string chatusercb;
  int dvscse = 60;

  bool operator==(const Nastaveni&) const = default;
};

// Every key from the document, each absent key with its default.
Nastaveni prectinastaveni(const IniDocument& settings);

// Writes all thirteen keys in their fixed order, `dvscse` as a decimal integer.
void zapisnastaveni(IniDocument& settings, const Nastaveni& values);

}  // namespace dorvik
