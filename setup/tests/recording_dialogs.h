// A Dialogs seam for tests: records every box and answers questions, input and folder dialogs from queues.
#pragma once
#include <deque>
#include <optional>
#include <vector>

#include <QString>

#include "setup/dialogs.h"

namespace dorvik::setup::test {

struct Box {
  QString caption, text;
  Ikona ikona;
  bool operator==(const Box&) const = default;
};

class RecordingDialogs : public Dialogs {
 public:
  void zprava(const QString& caption, const QString& text, Ikona ikona) override {
    boxes.push_back({caption, text, ikona});
  }
  bool otazka(const QString& caption, const QString& text) override {
    boxes.push_back({caption, text, Ikona::Otazka});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<QString> vstup(const QString& caption, const QString& prompt, const QString& initial) override {
    inputs.push_back({caption, prompt + QLatin1Char('|') + initial, Ikona::Informace});
    if (inputAnswers.empty()) return std::nullopt;
    auto a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
  }
  std::optional<QString> slozka(const QString& start) override {
    folderStarts.push_back(start);
    if (folderAnswers.empty()) return std::nullopt;
    auto a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
  }

  // Texts of the recorded boxes, in order.
  QStringList texts() const {
    QStringList out;
    for (const Box& b : boxes) out << b.text;
    return out;
  }
  void clear() {
    boxes.clear();
    inputs.clear();
    folderStarts.clear();
  }

  std::vector<Box> boxes;
  std::vector<Box> inputs;
  std::vector<QString> folderStarts;
  std::deque<bool> answers;
  std::deque<std::optional<QString>> inputAnswers;
  std::deque<std::optional<QString>> folderAnswers;
};

}  // namespace dorvik::setup::test
