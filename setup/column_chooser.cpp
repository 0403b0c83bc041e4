// ColumnChooser: lists the grid's columns in their shown order, applies the ticks on OK, kept inside the screen.
#include "setup/column_chooser.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "setup/dialogs.h"

namespace dorvik::setup {

ColumnChooser::ColumnChooser(QTableView& grid, Dialogs& dialogs)
    : QDialog(&grid), grid_(grid), dialogs_(dialogs), seznam_(new QListWidget(this)) {
  setObjectName(QStringLiteral("columnchooser"));
  setWindowTitle(QStringLiteral("Select columns"));
  seznam_->setObjectName(QStringLiteral("sloupce"));
  const QHeaderView* header = grid.horizontalHeader();
  for (int visual = 0; visual < header->count(); ++visual) {
    const int column = header->logicalIndex(visual);
    auto* item = new QListWidgetItem(grid.model()->headerData(column, Qt::Horizontal).toString(), seznam_);
    item->setData(Qt::UserRole, column);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(grid.isColumnHidden(column) ? Qt::Unchecked : Qt::Checked);
  }
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName(QStringLiteral("okb"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &ColumnChooser::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(seznam_);
  layout->addWidget(ok, 0, Qt::AlignRight);
  resize(220, 300);

  // Under the grid's top left cell, but never outside the screen's work area.
  QPoint place = grid.viewport()->mapToGlobal(QPoint(0, 0));
  if (const QScreen* screen = grid.screen()) {
    const QRect area = screen->availableGeometry();
    place.setX(std::clamp(place.x(), area.left(), std::max(area.left(), area.right() - width())));
    place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() - height())));
  }
  move(place);
}

void ColumnChooser::accept() {
  bool anyVisible = false;
  for (int i = 0; i < seznam_->count(); ++i) anyVisible = anyVisible || seznam_->item(i)->checkState() == Qt::Checked;
  if (!anyVisible) {
    dialogs_.zprava(windowTitle(), QStringLiteral("At least one column must be visible!"), Ikona::Varovani);
    return;
  }
  for (int i = 0; i < seznam_->count(); ++i) {
    const QListWidgetItem* item = seznam_->item(i);
    const int column = item->data(Qt::UserRole).toInt();
    const bool show = item->checkState() == Qt::Checked;
    if (show && grid_.isColumnHidden(column)) {
      grid_.setColumnHidden(column, false);
      if (grid_.columnWidth(column) <= 0) grid_.setColumnWidth(column, 64);
    } else if (!show) {
      grid_.setColumnHidden(column, true);
    }
  }
  QDialog::accept();
}

}  // namespace dorvik::setup
