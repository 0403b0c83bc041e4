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

// Any name SQL Server takes in brackets, up to 128 bytes, without control characters.
bool storableName(const std::string& name) {
  if (name.empty() || name.size() > 128) return false;
  return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
}

bool keptInFileName(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '-' || c == '$' || c == '#' || c == '@' || c >= 0x80;
}

// A database name as a file name: other characters ("." " " "/" "%" ...) become %XX.
std::string encodeName(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (keptInFileName(c)) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0x0F]);
    }
  }
  return out;
}

std::string decodeName(const std::string& file) {
  std::string out;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] == '%' && i + 2 < file.size() && std::isxdigit(static_cast<unsigned char>(file[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(file[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(file.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(file[i]);
    }
  }
  return out;
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
    const std::string name = decodeName(file.substr(0, file.size() - std::string(kSuffix).size()));
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

std::filesystem::path Catalog::fileOf(const std::string& name) const { return folder_ / (encodeName(name) + kSuffix); }

void Catalog::create(const std::string& name) {
  if (!storableName(name)) throw SqlError(102, 15, 1, "Incorrect syntax near '" + name + "'. A database name has 1 to 128 characters and no control characters.");
  if (find(name)) throw SqlError(1801, 16, 3, "Database '" + name + "' already exists. Choose a different database name.");
  std::lock_guard lock(mutex_);
  Database db(fileOf(name), true);
}

}  // namespace standin
