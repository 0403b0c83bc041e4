// IniDocument: parsing, layout, reading and writing of keys.
#include "core/ini_document.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "core/integer_text.h"

namespace dorvik {
namespace {

bool isControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view stripLeft(std::string_view s) {
  while (!s.empty() && isControlOrBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view stripRight(std::string_view s) {
  while (!s.empty() && isControlOrBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view strip(std::string_view s) { return stripRight(stripLeft(s)); }

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Splits at CR LF, CR or LF; a final line break does not start another line.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

void IniDocument::setText(std::string_view text) {
  sections_.clear();
  Section* current = nullptr;  // nothing while outside a section or under a repeated header
  for (std::string_view raw : splitLines(text)) {
    const std::string_view line = strip(raw);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string_view name = strip(line.substr(1, line.size() - 2));
      if (findSection(name) != nullptr) {
        current = nullptr;
      } else {
        sections_.push_back(Section{std::string(name), {}});
        current = &sections_.back();
      }
      continue;
    }
    if (current == nullptr) continue;
    Entry entry;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) {
      entry.key = std::string(line);
    } else {
      entry.key = std::string(stripRight(line.substr(0, eq)));
      entry.value = std::string(stripLeft(line.substr(eq + 1)));
    }
    const bool known = std::any_of(current->entries.begin(), current->entries.end(),
                                   [&](const Entry& e) { return sameName(e.key, entry.key); });
    if (!known) current->entries.push_back(std::move(entry));
  }
}

std::string IniDocument::text() const {
  std::string out;
  for (const Section& s : sections_) {
    out += "[" + s.name + "]\r\n";
    for (const Entry& e : s.entries) {
      out += e.key;
      if (e.value) out += "=" + *e.value;
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
  for (const Section& s : sections_) {
    if (sameName(s.name, name)) return &s;
  }
  return nullptr;
}

IniDocument::Section* IniDocument::findSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).findSection(name));
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (s == nullptr) return std::nullopt;
  for (const Entry& e : s->entries) {
    if (e.value && sameName(e.key, key)) return e.value;
  }
  return std::nullopt;
}

std::string IniDocument::readString(std::string_view section, std::string_view key, std::string_view fallback) const {
  return value(section, key).value_or(std::string(fallback));
}

int IniDocument::readInteger(std::string_view section, std::string_view key, int fallback) const {
  const auto v = value(section, key);
  if (!v) return fallback;
  return tryParseInt32(*v).value_or(fallback);
}

void IniDocument::writeString(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = findSection(section);
  if (s == nullptr) {
    sections_.push_back(Section{std::string(section), {}});
    s = &sections_.back();
  }
  for (Entry& e : s->entries) {
    if (sameName(e.key, key)) {
      e.value = std::string(value);
      return;
    }
  }
  s->entries.push_back(Entry{std::string(key), std::string(value)});
}

void IniDocument::writeInteger(std::string_view section, std::string_view key, int value) {
  writeString(section, key, std::to_string(value));
}

}  // namespace dorvik
