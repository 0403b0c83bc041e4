// UlohyGrid: editing triggers, row deletion with its confirmation, the pop-up menu and the column layout text.
#include "setup/ulohy_grid.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include "setup/column_chooser.h"
#include "setup/dialogs.h"
#include "setup/handler_guard.h"
#include "setup/ulohy_model.h"

namespace dorvik::setup {

UlohyGrid::UlohyGrid(const QString& name, UlohyModel* model, bool readOnly, Dialogs& dialogs, QWidget* parent)
    : QTableView(parent), model_(model), readOnly_(readOnly), dialogs_(dialogs) {
  setObjectName(name);
  setModel(model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // A double-click loads the row into the editor, so it never opens a cell editor.
  setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                           : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  verticalHeader()->hide();
  setAlternatingRowColors(true);
}

void UlohyGrid::keyPressEvent(QKeyEvent* event) {
  if (!readOnly_ && event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
    const int row = currentIndex().row();
    if (row >= 0 && dialogs_.otazka(QStringLiteral("Confirm"), QStringLiteral("Delete record?"))) {
      obsluha(dialogs_, [&] { model_->smazradek(row); });
    }
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void UlohyGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  emit dvojklik();
}

void UlohyGrid::contextMenuEvent(QContextMenuEvent* event) {
  QMenu gridpopup(this);
  gridpopup.setObjectName(QStringLiteral("gridpopup"));
  QAction* vbrsloupc1 = gridpopup.addAction(QStringLiteral("výběr sloupců"));
  connect(vbrsloupc1, &QAction::triggered, this, &UlohyGrid::vyberSloupcu);
  gridpopup.exec(event->globalPos());
}

void UlohyGrid::vyberSloupcu() {
  ColumnChooser chooser(*this, dialogs_);
  chooser.exec();
}

QString UlohyGrid::rozlozenisloupce(int column) const {
  const int width = isColumnHidden(column) ? -1 : columnWidth(column);
  return QStringLiteral("%1,%2").arg(horizontalHeader()->visualIndex(column)).arg(width);
}

void UlohyGrid::nastavrozlozeni(const std::vector<std::optional<QString>>& sloupce) {
  std::vector<std::pair<int, int>> poradi;  // position, column
  for (std::size_t i = 0; i < sloupce.size() && i < static_cast<std::size_t>(model()->columnCount()); ++i) {
    if (!sloupce[i]) continue;
    const int column = static_cast<int>(i);
    const QStringList parts = sloupce[i]->split(QLatin1Char(','));
    if (parts.size() != 2) continue;
    bool posOk = false, widthOk = false;
    const int position = parts[0].trimmed().toInt(&posOk);
    const int width = parts[1].trimmed().toInt(&widthOk);
    if (!posOk || !widthOk) continue;
    if (width < 0) {
      setColumnHidden(column, true);
    } else {
      setColumnHidden(column, false);
      if (width > 0) setColumnWidth(column, width);
    }
    if (position >= 0 && position < model()->columnCount()) poradi.emplace_back(position, column);
  }
  // Placed from the left, each column lands where it was.
  std::sort(poradi.begin(), poradi.end());
  for (const auto& [position, column] : poradi) {
    horizontalHeader()->moveSection(horizontalHeader()->visualIndex(column), position);
  }
}

}  // namespace dorvik::setup
