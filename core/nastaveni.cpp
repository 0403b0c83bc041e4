// prectinastaveni and zapisnastaveni: one table of keys drives both directions.
#include "core/nastaveni.h"

#include <array>

namespace dorvik {
namespace {

struct TextKey {
  const char* section;
  const char* key;
  std::string Nastaveni::*member;
};

// In the order the setup tool writes them.
constexpr std::array<TextKey, 12> kTextKeys{{
    {"con", "serverportle", &Nastaveni::serverportle},
    {"con", "jmenole", &Nastaveni::jmenole},
    {"con", "heslole", &Nastaveni::heslole},
    {"con", "databazecb", &Nastaveni::databazecb},
    {"mail", "osobale", &Nastaveni::osobale},
    {"mail", "smtpjmenole", &Nastaveni::smtpjmenole},
    {"mail", "smtpheslole", &Nastaveni::smtpheslole},
    {"mail", "smtpfromle", &Nastaveni::smtpfromle},
    {"mail", "smtpserverle", &Nastaveni::smtpserverle},
    {"mail", "subjektle", &Nastaveni::subjektle},
    {"mail", "smtpportle", &Nastaveni::smtpportle},
    {"setup", "chatusercb", &Nastaveni::chatusercb},
}};

}  // namespace

Nastaveni prectinastaveni(const IniDocument& settings) {
  const Nastaveni defaults;
  Nastaveni values;
  for (const TextKey& k : kTextKeys) {
    values.*k.member = settings.readString(k.section, k.key, defaults.*k.member);
  }
  values.dvscse = settings.readInteger("setup", "dvscse", defaults.dvscse);
  return values;
}

void zapisnastaveni(IniDocument& settings, const Nastaveni& values) {
  for (const TextKey& k : kTextKeys) settings.writeString(k.section, k.key, values.*k.member);
  settings.writeInteger("setup", "dvscse", values.dvscse);
}

}  // namespace dorvik
