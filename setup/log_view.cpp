// LogView: reading and decoding a log file, creating it, and emptying view and file.
#include "setup/log_view.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFont>
#include <QMenu>
#include <QStringDecoder>

#include "core/settings_file.h"
#include "platform/error.h"
#include "setup/dialogs.h"
#include "setup/handler_guard.h"

namespace dorvik::setup {
namespace {

QByteArray nactisoubor(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw FileError("Cannot open file \"" + path.toStdString() + "\". " + file.errorString().toStdString());
  }
  return file.readAll();
}

// Truncates the file in place and writes the text as UTF-8 with a byte-order mark.
void zapissoubor(const QString& path, const QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    throw FileError("Cannot create file \"" + path.toStdString() + "\". " + file.errorString().toStdString());
  }
  const QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
  if (file.write(bytes) != bytes.size()) {
    throw FileError("Cannot write file \"" + path.toStdString() + "\". " + file.errorString().toStdString());
  }
}

}  // namespace

QString dekodujlog(const QByteArray& bytes) {
  const bool bom = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
  if (!bom) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
  }
  return QString::fromStdString(decodeTextFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

LogView::LogView(const QString& name, QString path, Dialogs& dialogs, QWidget* parent)
    : QPlainTextEdit(parent), path_(std::move(path)), dialogs_(dialogs) {
  setObjectName(name);
  setLineWrapMode(QPlainTextEdit::NoWrap);
}

void LogView::zobrazeno() {
  if (QFile::exists(path_)) {
    setPlainText(dekodujlog(nactisoubor(path_)));
    moveCursor(QTextCursor::Start);
  } else {
    zapis();
  }
}

void LogView::vymazat() {
  if (!dialogs_.otazka(QStringLiteral("Otázka"), QStringLiteral("Opravdu vymazat log?"))) return;
  clear();
  zapis();
}

void LogView::pridejradek(const QString& line) { appendPlainText(line); }

void LogView::zapis() { zapissoubor(path_, toPlainText()); }

void LogView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu logpopup(this);
  logpopup.setObjectName(QStringLiteral("logpopup"));
  QAction* vymazatmi = logpopup.addAction(QStringLiteral("vymazat"));
  connect(vymazatmi, &QAction::triggered, this, [this] { obsluha(dialogs_, [this] { vymazat(); }); });
  logpopup.exec(event->globalPos());
}

}  // namespace dorvik::setup
