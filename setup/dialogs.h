// The seam through which the setup tool shows message boxes and asks the user: real dialogs, or a recorder in tests.
#pragma once
#include <optional>

#include <QString>

class QWidget;

namespace dorvik::setup {

enum class Ikona { Chyba, Otazka, Informace, Varovani };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box with an OK button.
  virtual void zprava(const QString& caption, const QString& text, Ikona ikona) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool otazka(const QString& caption, const QString& text) = 0;
  // A text input dialog; nothing when it is cancelled.
  virtual std::optional<QString> vstup(const QString& caption, const QString& prompt, const QString& initial) = 0;
  // A folder choice starting at `start`; nothing when it is cancelled.
  virtual std::optional<QString> slozka(const QString& start) = 0;
};

// The real dialogs, modal over `parent`.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  void zprava(const QString& caption, const QString& text, Ikona ikona) override;
  bool otazka(const QString& caption, const QString& text) override;
  std::optional<QString> vstup(const QString& caption, const QString& prompt, const QString& initial) override;
  std::optional<QString> slozka(const QString& start) override;

 private:
  QWidget* parent_;
};

}  // namespace dorvik::setup
