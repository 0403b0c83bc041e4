// UlohyModel: reading the task rows, showing them and writing single cells and deletions back to ulohy.
#include "setup/ulohy_model.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "core/datetime_text.h"
#include "core/db/statement.h"

namespace dorvik::setup {
namespace {

constexpr std::array<const char*, kPocetPoli> kNazvy{"id",  "druh",     "zprava",     "uzivatele", "kam",      "dni",
                                                      "cas", "zalozeno", "platnostdo", "aktivni",   "doemailu", "dochatu"};

bool logicke(Pole p) { return p == Pole::aktivni || p == Pole::doemailu || p == Pole::dochatu; }
bool datumove(Pole p) { return p == Pole::cas || p == Pole::zalozeno || p == Pole::platnostdo; }

QDateTime naQt(const DateTime& t) {
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second, t.millisecond));
}

DateTime zQt(const QDateTime& t) {
  return DateTime{t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
                  t.time().second(), t.time().msec()};
}

}  // namespace

const char* nazevpole(Pole pole) { return kNazvy[static_cast<std::size_t>(pole)]; }

UlohyModel::UlohyModel(db::Connection& con, std::string sql, std::array<QString, kPocetPoli> titles, bool readOnly,
                       QObject* parent)
    : QAbstractTableModel(parent), con_(con), sql_(std::move(sql)), titles_(std::move(titles)), readOnly_(readOnly) {}

void UlohyModel::open() {
  std::vector<Row> rows;
  db::Statement q(con_);
  q.execute(sql_);
  // The columns are found by name once; thousands of rows then read by position.
  std::array<std::size_t, kPocetPoli> sloupce{};
  for (std::size_t i = 0; i < kNazvy.size(); ++i) {
    std::size_t c = 0;
    while (c < q.columnCount() && QString::fromStdString(q.columnName(c)).compare(QLatin1String(kNazvy[i]), Qt::CaseInsensitive) != 0) ++c;
    if (c == q.columnCount()) static_cast<void>(q.field(kNazvy[i]));  // throws, naming the missing column
    sloupce[i] = c;
  }
  while (q.next()) {
    Row row;
    for (std::size_t i = 0; i < kNazvy.size(); ++i) row[i] = q.field(sloupce[i]);
    rows.push_back(std::move(row));
  }
  beginResetModel();
  rows_ = std::move(rows);
  open_ = true;
  endResetModel();
}

void UlohyModel::close() {
  beginResetModel();
  rows_.clear();
  open_ = false;
  endResetModel();
}

void UlohyModel::refresh() {
  if (open_) open();
}

int UlohyModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int UlohyModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kPocetPoli; }

const db::FieldValue& UlohyModel::hodnota(int row, Pole pole) const {
  return rows_.at(static_cast<std::size_t>(row))[static_cast<std::size_t>(pole)];
}

QVariant UlohyModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto pole = static_cast<Pole>(index.column());
  const db::FieldValue& v = hodnota(index.row(), pole);
  if (logicke(pole)) {
    if (role == Qt::CheckStateRole) return v.asBool() ? Qt::Checked : Qt::Unchecked;
    return {};
  }
  if (role == Qt::DisplayRole) {
    if (v.isNull()) return {};
    if (pole == Pole::cas) {
      const DateTime t = v.asDateTime();
      return QStringLiteral("%1:%2").arg(t.hour).arg(t.minute);
    }
    return QString::fromStdString(v.asText());
  }
  if (role == Qt::EditRole) {
    if (pole == Pole::id || pole == Pole::dni) return v.isNull() ? QVariant() : QVariant(static_cast<int>(v.asInt()));
    if (pole == Pole::cas) return v.isNull() ? QVariant(QTime(0, 0)) : QVariant(naQt(v.asDateTime()).time());
    if (datumove(pole)) return v.isNull() ? QVariant(QDateTime::currentDateTime()) : QVariant(naQt(v.asDateTime()));
    return QString::fromStdString(v.asText());
  }
  return {};
}

QVariant UlohyModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kPocetPoli) return {};
  const QString& title = titles_[static_cast<std::size_t>(section)];
  return title.isEmpty() ? QString::fromLatin1(kNazvy[static_cast<std::size_t>(section)]) : title;
}

Qt::ItemFlags UlohyModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  const auto pole = static_cast<Pole>(index.column());
  if (readOnly_ || pole == Pole::id) return f;
  return logicke(pole) ? f | Qt::ItemIsUserCheckable : f | Qt::ItemIsEditable;
}

bool UlohyModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable))) return false;
  const auto pole = static_cast<Pole>(index.column());
  if (logicke(pole) != (role == Qt::CheckStateRole) || (!logicke(pole) && role != Qt::EditRole)) return false;
  try {
    zapispole(index.row(), pole, value);
  } catch (const std::exception& e) {
    if (onError_) onError_(e);
    return false;
  }
  emit dataChanged(index, index);
  return true;
}

void UlohyModel::zapispole(int row, Pole pole, const QVariant& value) {
  const std::string nazev = nazevpole(pole);
  db::Statement q(con_);
  q.setSql("update ulohy set " + nazev + "=:p" + nazev + " where id=:pid");
  db::FieldValue nova;
  if (logicke(pole)) {
    const bool b = value.value<Qt::CheckState>() == Qt::Checked;
    q.setBool("p" + nazev, b);
    nova = db::FieldValue(b);
  } else if (pole == Pole::dni) {
    const int n = value.toInt();
    q.setInt("p" + nazev, n);
    nova = db::FieldValue(std::int64_t{n});
  } else if (datumove(pole)) {
    // A time of day stays on day 0 of the date-time scale, as the editors write it.
    const QDateTime t = pole == Pole::cas ? QDateTime(QDate(1899, 12, 30), value.toTime()) : value.toDateTime();
    q.setDateTime("p" + nazev, zQt(t));
    nova = db::FieldValue(zQt(t));
  } else {
    const std::string text = value.toString().toStdString();
    q.setText("p" + nazev, text);
    nova = db::FieldValue(text);
  }
  q.setInt("pid", static_cast<std::int32_t>(hodnota(row, Pole::id).asInt()));
  q.execute();
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(pole)] = std::move(nova);
}

void UlohyModel::smazradek(int row) {
  if (row < 0 || row >= rowCount()) return;
  db::Statement q(con_);
  q.setSql("delete from ulohy where id=:pid");
  q.setInt("pid", static_cast<std::int32_t>(hodnota(row, Pole::id).asInt()));
  q.execute();
  beginRemoveRows({}, row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

}  // namespace dorvik::setup
