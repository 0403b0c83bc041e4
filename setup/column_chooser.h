// The grid's column chooser "Select columns": a check list of the columns, "&OK" and the one-column-visible rule.
#pragma once
#include <QDialog>

class QListWidget;
class QTableView;

namespace dorvik::setup {

class Dialogs;

class ColumnChooser : public QDialog {
  Q_OBJECT

 public:
  ColumnChooser(QTableView& grid, Dialogs& dialogs);

  void accept() override;

 private:
  QTableView& grid_;
  Dialogs& dialogs_;
  QListWidget* seznam_;
};

}  // namespace dorvik::setup
