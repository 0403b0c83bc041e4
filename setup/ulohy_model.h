// A task query: the rows of ulohy of one kind as a table model for a grid, with in-place updates and row deletion.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractTableModel>

#include "core/db/connection.h"
#include "core/db/field_value.h"

namespace dorvik::setup {

// The fields of a task row, in the order the grids show them.
enum class Pole { id, druh, zprava, uzivatele, kam, dni, cas, zalozeno, platnostdo, aktivni, doemailu, dochatu };
inline constexpr int kPocetPoli = 12;
// The field's column name in ulohy.
const char* nazevpole(Pole pole);

class UlohyModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `sql` is the query text; `titles` the column titles in field order (empty: the field's name).
  UlohyModel(db::Connection& con, std::string sql, std::array<QString, kPocetPoli> titles, bool readOnly,
             QObject* parent = nullptr);

  // Runs the query and shows its rows; throws DatabaseError.
  void open();
  // Drops the rows; the grid empties.
  void close();
  // Reads the rows again if the query is open.
  void refresh();
  bool isOpen() const { return open_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Writes the changed cell straight to ulohy.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  const db::FieldValue& hodnota(int row, Pole pole) const;
  // Deletes the row from ulohy and from the model; throws DatabaseError.
  void smazradek(int row);

  // Where errors of in-place editing go (the window's default error box).
  void setErrorHandler(std::function<void(const std::exception&)> handler) { onError_ = std::move(handler); }

 private:
  using Row = std::array<db::FieldValue, kPocetPoli>;
  void zapispole(int row, Pole pole, const QVariant& value);

  db::Connection& con_;
  std::string sql_;
  std::array<QString, kPocetPoli> titles_;
  bool readOnly_;
  bool open_ = false;
  std::vector<Row> rows_;
  std::function<void(const std::exception&)> onError_;
};

}  // namespace dorvik::setup
