#include "setup/tgetnovaverze.h"

#include <atomic>

namespace dorvik::setup {
namespace {

std::atomic<int> pocetbezicich{0};

}  // namespace

int Tgetnovaverze::bezici() { return pocetbezicich.load(); }

void Tgetnovaverze::run() {
  ++pocetbezicich;
  Tnovaverze v;
  novaverze(adresa_, v);
  newver = v;
  emit hotovo(newver);
  --pocetbezicich;
}

}  // namespace dorvik::setup
