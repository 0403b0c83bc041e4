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
    return odeber(inputAnswers);
  }
  std::optional<QString> slozka(const QString& start) override {
    folderStarts.push_back(start);
    return odeber(folderAnswers);
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

  // The next answer of a queue; nothing (a cancelled dialog) when it is empty.
  static std::optional<QString> odeber(std::deque<std::optional<QString>>& queue) {
    if (queue.empty()) return std::nullopt;
    const bool has = queue.front().has_value();
    const QString value = has ? *queue.front() : QString();
    queue.pop_front();
    if (!has) return std::nullopt;
    return value;
  }

  std::vector<Box> boxes;
  std::vector<Box> inputs;
  std::vector<QString> folderStarts;
  std::deque<bool> answers;
  std::deque<std::optional<QString>> inputAnswers;
  std::deque<std::optional<QString>> folderAnswers;
};

}  // namespace dorvik::setup::test
