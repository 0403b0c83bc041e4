// Tgetnovaverze: one update check off the window thread; the result goes back to the window by a queued signal.
#pragma once
#include <QMetaType>
#include <QThread>

#include "setup/novaverze.h"

namespace dorvik::setup {

class Tgetnovaverze : public QThread {
  Q_OBJECT

 public:
  explicit Tgetnovaverze(QString adresa) : adresa_(std::move(adresa)) {}

  Tnovaverze newver;  // written by the thread before `hotovo`

  // Checks whose thread body has not returned yet, in the whole program.
  static int bezici();

 signals:
  // Emitted from the thread once; a receiver that no longer exists simply misses it.
  void hotovo(dorvik::setup::Tnovaverze newver);

 protected:
  void run() override;

 private:
  QString adresa_;
};

}  // namespace dorvik::setup

Q_DECLARE_METATYPE(dorvik::setup::Tnovaverze)
