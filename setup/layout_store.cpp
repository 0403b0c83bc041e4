// LayoutStore over the shared INI document; the file is plain UTF-8 text.
#include "setup/layout_store.h"

#include <algorithm>
#include <cctype>

#include "core/integer_text.h"
#include "platform/atomic_file.h"
#include "platform/file_append.h"

namespace dorvik::setup {

LayoutStore::LayoutStore(std::string path, std::string section) : path_(std::move(path)), section_(std::move(section)) {}

void LayoutStore::nacti() {
  if (!platform::fileExists(path_)) return;
  std::string text = platform::readWholeFile(path_);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  ini_.setText(text);
}

void LayoutStore::uloz() const { platform::replaceFileAtomically(path_, ini_.text(), /*ownerOnly=*/false); }

std::optional<std::string> LayoutStore::hodnota(const std::string& key) const { return ini_.value(section_, key); }

std::optional<int> LayoutStore::cislo(const std::string& key) const {
  const auto text = hodnota(key);
  if (!text) return std::nullopt;
  return tryParseInt32(*text);
}

std::optional<bool> LayoutStore::logicka(const std::string& key) const {
  auto text = hodnota(key);
  if (!text) return std::nullopt;
  std::transform(text->begin(), text->end(), text->begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (*text == "TRUE" || *text == "YES" || *text == "Y") return true;
  if (*text == "FALSE" || *text == "NO" || *text == "N") return false;
  return std::nullopt;
}

void LayoutStore::zapis(const std::string& key, const std::string& value) { ini_.writeString(section_, key, value); }

}  // namespace dorvik::setup
