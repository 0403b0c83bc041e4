// naplnsablonu and its case-insensitive replacement.
#include "runner/naplnsablonu.h"

#include <cctype>

#include "core/db/statement.h"

namespace dorvik {
namespace {

bool matchesAt(std::string_view text, std::size_t at, std::string_view what) {
  if (text.size() - at < what.size()) return false;
  for (std::size_t i = 0; i < what.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(what[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string nahradvse(std::string_view text, std::string_view placeholder, std::string_view value) {
  if (placeholder.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (matchesAt(text, i, placeholder)) {
      out.append(value);
      i += placeholder.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::string naplnsablonu(std::string_view sablona, std::string_view druh, std::int64_t klic, db::Connection& con) {
  std::string sql;
  if (druh == "zakazka") sql = "select * from opravy where cislozakazky=" + std::to_string(klic);
  else if (druh == "zarizeni") sql = "select * from devices where devicenumber=" + std::to_string(klic);
  else return std::string(sablona);

  db::Statement q(con);
  q.execute(sql);
  if (!q.next()) return std::string(sablona);
  std::string text(sablona);
  for (std::size_t i = 0; i < q.columnCount(); ++i) {
    text = nahradvse(text, "<" + q.columnName(i) + ">", q.field(i).asText());
  }
  return text;
}

}  // namespace dorvik
