// Tvybratuf: the recipient picker, a check list of the host's users read through the main window's connection.
#pragma once
#include <functional>

#include <QDialog>
#include <QString>

#include "core/db/connection.h"

class QListWidget;
class QPushButton;

namespace dorvik::setup {

class Dialogs;

class Tvybratuf : public QDialog {
  Q_OBJECT

 public:
  // `pripoj` connects from the settings page's fields (testcon) and tells whether it succeeded.
  Tvybratuf(db::Connection& con, Dialogs& dialogs, std::function<bool()> pripoj, QWidget* parent = nullptr);

  // Shows the picker modally; true when it was closed with "potvrdit".
  bool vyber();
  // The ticked names, each followed by ";".
  QString getusers() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void otevriuq();
  void uqAfterOpen(const QStringList& names);

  db::Connection& con_;
  Dialogs& dialogs_;
  std::function<bool()> pripoj_;
  QListWidget* uchlb_;
  // uq stays open until the connection it was read on closes.
  bool uqOpen_ = false;
  unsigned long uqGeneration_ = 0;
};

}  // namespace dorvik::setup
