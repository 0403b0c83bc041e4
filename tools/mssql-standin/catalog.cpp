// Database files and their names.
#include "catalog.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "database.h"
#include "sql_error.h"
#include "text.h"

namespace standin {
namespace {

constexpr const char* kSuffix = ".sqlite";

bool storableName(const std::string& name) {
  if (name.empty() || name.size() > 128) return false;
  for (unsigned char c : name) {
    if (!(std::isalnum(c) || c == '_' || c == '-' || c == '$' || c == '#' || c == '@' || c >= 0x80)) return false;
  }
  return true;
}

}  // namespace

Catalog::Catalog(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::filesystem::create_directories(folder_);
  if (!std::filesystem::exists(fileOf("master"))) Database(fileOf("master"), true);
}

std::vector<std::string> Catalog::names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out{"master"};
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    const std::string file = entry.path().filename().string();
    if (file.size() <= std::string(kSuffix).size() || !file.ends_with(kSuffix)) continue;
    const std::string name = file.substr(0, file.size() - std::string(kSuffix).size());
    if (name != "master") out.push_back(name);
  }
  std::sort(out.begin() + 1, out.end());
  return out;
}

std::optional<std::string> Catalog::find(const std::string& name) const {
  const std::string key = lowerText(name);
  for (const std::string& n : names()) {
    if (lowerText(n) == key) return n;
  }
  return std::nullopt;
}

std::filesystem::path Catalog::fileOf(const std::string& name) const { return folder_ / (name + kSuffix); }

void Catalog::create(const std::string& name) {
  if (!storableName(name)) throw SqlError(102, 15, 1, "Incorrect syntax near '" + name + "'. Database names here use letters, digits, '_' and '-'.");
  if (find(name)) throw SqlError(1801, 16, 3, "Database '" + name + "' already exists. Choose a different database name.");
  std::lock_guard lock(mutex_);
  Database db(fileOf(name), true);
}

}  // namespace standin
