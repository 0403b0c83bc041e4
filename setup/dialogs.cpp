// The real message boxes, input dialog and folder dialog behind the Dialogs seam.
#include "setup/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace dorvik::setup {
namespace {

QMessageBox::Icon icon(Ikona ikona) {
  switch (ikona) {
    case Ikona::Chyba: return QMessageBox::Critical;
    case Ikona::Otazka: return QMessageBox::Question;
    case Ikona::Informace: return QMessageBox::Information;
    case Ikona::Varovani: return QMessageBox::Warning;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogs::zprava(const QString& caption, const QString& text, Ikona ikona) {
  QMessageBox box(icon(ikona), caption, text, QMessageBox::Ok, parent_);
  box.exec();
}

bool QtDialogs::otazka(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::vstup(const QString& caption, const QString& prompt, const QString& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return text;
}

std::optional<QString> QtDialogs::slozka(const QString& start) {
  // Qt's own dialog: it shows drives and folders and lets the user type and create a new folder.
  QFileDialog dialog(parent_, QString(), start);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    if (QDir(chosen).exists()) return chosen;
    if (otazka(QString(), QStringLiteral("The specified directory does not exist. Create it?"))) {
      QDir().mkpath(chosen);
      return chosen;
    }
  }
}

}  // namespace dorvik::setup
