// TForm1: the setup tool's main window with its page control, the settings page, the task editors and the log views.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include <QMainWindow>

#include "core/db/connection.h"
#include "core/ini_document.h"
#include "setup/layout_store.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace dorvik::setup {

class Dialogs;
class EditorUloh;
class LogView;
class Tvybratuf;
struct Tnovaverze;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // `folder` is the program's folder with its trailing separator: the settings
  // file, dvgrid.ini and the logs are found there. Runs FormCreate.
  TForm1(std::string folder, Dialogs& dialogs, QWidget* parent = nullptr);
  ~TForm1() override;

  db::Connection& con() { return con_; }
  QTabWidget* sapc() const { return sapc_; }
  EditorUloh* zakazky() const { return zakazky_; }
  EditorUloh* zarizeni() const { return zarizeni_; }
  EditorUloh* zalohovani() const { return zalohovani_; }
  Tvybratuf* vybratuf() const { return vybratuf_; }
  LogView* logre() const { return logre_; }
  LogView* logsluzbare() const { return logsluzbare_; }
  // True once the connection attempt of FormShow has ended (or was not made).
  bool zobrazenohotovo() const { return zobrazenoHotovo_; }

  // testcon, the setup tool's variant: closes `con`, sets it up from the texts
  // and connects off the window thread; then the after-connect work and the
  // test query. Failures give an error box unless `silent` and always a line in
  // logre; with `conokmessage` the success box. With `aktualizovat` the missing
  // agent tables are created before the task lists are opened.
  bool testcon(const QString& serverport, const QString& databaze, const QString& jmeno, const QString& heslo,
               bool silent, bool conokmessage, bool aktualizovat = false);
  // testcon from the four fields of the settings page, silent false, no success box.
  bool pripojzpolicek();

  // The test backup's routine: empty text on success, else the text to show.
  QString vytvorzalohu(const QString& kam);

  // The update server's base address (settings key, environment, built-in default).
  QString adresaaktualizaci() const;
  // Reads the version document into `v` (see novaverze.h).
  void novaverze(Tnovaverze& v) const;
  // Starts an update check on its own thread when the server can be reached.
  void zjistinovouverzi();
  // Shows published against installed versions on the page "o programu".
  void zobrazverze(const Tnovaverze& newver);
  // Update checks started and displayed so far (for tests and the screenshots).
  int spustenekontroly() const { return spustenekontroly_; }
  int zobrazenekontroly() const { return zobrazenekontroly_; }

  // The service page: re-reads the service's state and sets the page after it.
  void aktualizovatstavsluzby();
  // The component update behind the button "aktualizace".
  void aktualizace();
  // False when the window's creation ended before the settings were loaded.
  bool vytvoreno() const { return vytvoreno_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormClose();
  void nactiini();
  void ulozini();
  void conAfterConnect(const QString& databaze, bool aktualizovat);
  void databazecbEnter();
  void testdbbClick();
  void testemailbClick();
  void vybratuzalohybClick();
  void testuzalohybClick();
  void vyberprijemce(QLineEdit* pole);
  void zmenastranky(int index);
  void sluzbatsShow();
  void startbClick();
  void instalovatbClick();
  void aktualizacebClick();
  void popismradek(const QString& radek);
  // Downloads `cesta` on the update server over the program file (relative to
  // the program folder) under a busy indicator; empty text on success, else why not.
  QString stahniprogram(const char* cesta, const QString& soubor, const std::optional<QString>& verze);

  QWidget* vytvornastaveni();
  QWidget* vytvorsluzbu();
  QWidget* vytvoroprogramu();
  void obnovrozlozeni();
  void ulozrozlozeni();

  std::string folder_;
  Dialogs& dialogs_;
  db::Connection con_;
  IniDocument ini_;  // the in-memory settings
  LayoutStore layout_;
  bool zobrazeno_ = false;
  bool zobrazenoHotovo_ = false;
  bool vytvoreno_ = true;
  int strana_ = 0;
  int spustenekontroly_ = 0;
  int zobrazenekontroly_ = 0;

  QTabWidget* sapc_ = nullptr;
  QLabel* sb1_ = nullptr;
  QProgressBar* prubeh_ = nullptr;
  QLineEdit* serverportle_ = nullptr;
  QLineEdit* jmenole_ = nullptr;
  QLineEdit* heslole_ = nullptr;
  QComboBox* databazecb_ = nullptr;
  QLineEdit* osobale_ = nullptr;
  QLineEdit* smtpjmenole_ = nullptr;
  QLineEdit* smtpheslole_ = nullptr;
  QLineEdit* smtpfromle_ = nullptr;
  QLineEdit* subjektle_ = nullptr;
  QLineEdit* smtpserverle_ = nullptr;
  QLineEdit* smtpportle_ = nullptr;
  QComboBox* chatusercb_ = nullptr;
  QSpinBox* dvscse_ = nullptr;
  EditorUloh* zakazky_ = nullptr;
  EditorUloh* zarizeni_ = nullptr;
  EditorUloh* zalohovani_ = nullptr;
  LogView* logre_ = nullptr;
  LogView* logsluzbare_ = nullptr;
  Tvybratuf* vybratuf_ = nullptr;
  QLabel* stavsluzbyl_ = nullptr;
  QPushButton* aktualizovatb_ = nullptr;
  QPushButton* startb_ = nullptr;
  QPushButton* instalovatb_ = nullptr;
  QLabel* verzeprogramuol_ = nullptr;
  QLabel* verzesluzbyol_ = nullptr;
  QLabel* verzeulohyol_ = nullptr;
  QLabel* verzeprogramul_ = nullptr;
  QLabel* verzesluzbyl_ = nullptr;
  QLabel* verzeulohy_ = nullptr;
  QPlainTextEdit* popism_ = nullptr;
};

}  // namespace dorvik::setup
