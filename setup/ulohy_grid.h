// A task grid: the view over a task query with hidden columns, the column chooser menu, Ctrl+Delete and double-click.
#pragma once
#include <optional>
#include <vector>

#include <QString>
#include <QTableView>

namespace dorvik::setup {

class Dialogs;
class UlohyModel;

class UlohyGrid : public QTableView {
  Q_OBJECT

 public:
  UlohyGrid(const QString& name, UlohyModel* model, bool readOnly, Dialogs& dialogs, QWidget* parent = nullptr);

  UlohyModel* ulohy() const { return model_; }

  // "position,width" per column, width -1 for a hidden column, as dvgrid.ini keeps them.
  QString rozlozenisloupce(int column) const;
  // One text (or nothing) per column; bad texts are ignored.
  void nastavrozlozeni(const std::vector<std::optional<QString>>& sloupce);

  // The column chooser "Select columns", placed under the top left cell.
  void vyberSloupcu();

 signals:
  void dvojklik();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  UlohyModel* model_;
  bool readOnly_;
  Dialogs& dialogs_;
};

}  // namespace dorvik::setup
