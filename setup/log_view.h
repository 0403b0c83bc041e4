// A log view: a plain-text view of one log file, read afresh when its tab is shown, emptied from its pop-up menu.
#pragma once
#include <QPlainTextEdit>
#include <QString>

namespace dorvik::setup {

class Dialogs;

class LogView : public QPlainTextEdit {
  Q_OBJECT

 public:
  LogView(const QString& name, QString path, Dialogs& dialogs, QWidget* parent = nullptr);

  const QString& cesta() const { return path_; }

  // Tab shown: loads the file, or creates it from the view's content when it is missing. Throws FileError.
  void zobrazeno();
  // "vymazat": asks, then empties the view and the file. Throws FileError.
  void vymazat();
  // Appends one line at the end of the view (the failure lines of connection attempts).
  void pridejradek(const QString& line);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void zapis();

  QString path_;
  Dialogs& dialogs_;
};

// A log file's text: a byte-order mark decides the encoding; without one, text
// that is valid UTF-8 is UTF-8 (the runner and the service write it so) and
// anything else is in the ANSI code page.
QString dekodujlog(const QByteArray& bytes);

}  // namespace dorvik::setup
