// One task editor tab: the editor panel of a task kind over its grid, with reset, load, save and cancel.
#pragma once
#include <functional>

#include <QString>
#include <QTime>
#include <QWidget>

#include "core/db/connection.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace dorvik::setup {

class Dialogs;
class UlohyGrid;
class UlohyModel;

// What differs between the three kinds: the value of druh, texts, defaults and component names.
struct DruhUlohy {
  const char* druh;          // "zakazka", "zarizeni", "zalohovani"
  // Names of the kind's components.
  const char *dni, *zprava, *uzivatele, *vybrat, *cas, *aktivni, *doemailu, *dochatu, *platnost, *id, *pridat,
      *zrusit, *grid;
  QString uzivatelePopisek;  // caption of the recipients field
  QString vetaPred, vetaPo;  // the sentence around the days (orders and devices)
  QString casPopisek;        // caption of the time picker
  QTime vychoziCas;          // the kind's default time
  bool zalohy;               // the backup editor
};

const DruhUlohy& druhZakazky();
const DruhUlohy& druhZarizeni();
const DruhUlohy& druhZalohovani();

class EditorUloh : public QWidget {
  Q_OBJECT

 public:
  // `pripoj` connects from the settings page's fields (testcon) and tells whether it succeeded.
  EditorUloh(const DruhUlohy& druh, db::Connection& con, Dialogs& dialogs, std::function<bool()> pripoj,
             QWidget* parent = nullptr);

  const DruhUlohy& druh() const { return druh_; }
  UlohyModel* model() const { return model_; }
  UlohyGrid* grid() const { return grid_; }
  QLineEdit* prijemci() const { return uzivatele_; }
  QPushButton* vybratb() const { return vybrat_; }
  // Backups only: the folder field and its two buttons (null for the other kinds).
  QLineEdit* uzle() const { return uzle_; }
  QPushButton* vybratuzalohyb() const { return vybratUz_; }
  QPushButton* testuzalohyb() const { return testUz_; }

  // Reset: the state at start and after every save or cancel.
  void vymaz();
  // Tab shown: a new task's valid-until date moves to a year from now.
  void zobrazeno();
  // Grid double-click: loads the current row.
  void dvojklik();
  // Save button; errors of the statement reach the caller and leave the editor as it was.
  void pridat();
  // "zrušit".
  void zrusit();

 private:
  void chyba(const QString& text, QWidget* focus);

  const DruhUlohy& druh_;
  db::Connection& con_;
  Dialogs& dialogs_;
  std::function<bool()> pripoj_;

  QSpinBox* dni_ = nullptr;
  QPlainTextEdit* zprava_ = nullptr;
  QLineEdit* uspech_ = nullptr;
  QLineEdit* neuspech_ = nullptr;
  QLineEdit* uzivatele_ = nullptr;
  QPushButton* vybrat_ = nullptr;
  QLineEdit* uzle_ = nullptr;
  QPushButton* vybratUz_ = nullptr;
  QPushButton* testUz_ = nullptr;
  QTimeEdit* cas_ = nullptr;
  QCheckBox* aktivni_ = nullptr;
  QCheckBox* doemailu_ = nullptr;
  QCheckBox* dochatu_ = nullptr;
  QDateEdit* platnost_ = nullptr;
  QLabel* id_ = nullptr;
  QPushButton* pridatb_ = nullptr;
  QPushButton* zrusitb_ = nullptr;
  UlohyModel* model_ = nullptr;
  UlohyGrid* grid_ = nullptr;
};

// Text without leading and trailing blanks and control characters.
QString orizni(const QString& text);

}  // namespace dorvik::setup
