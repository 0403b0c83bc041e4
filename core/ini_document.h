// An in-memory INI document: sections and keys in first-added order, names case-insensitive.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvik {

class IniDocument {
 public:
  // Replaces the whole content with `text` parsed line by line: lines are
  // stripped of characters 0..32 at both ends; empty lines and lines starting
  // with ";" are skipped; "[name]" opens a section, and a repeated section
  // header is ignored together with the lines under it; lines before the first
  // header are ignored; other lines split at the first "=" into a key (trailing
  // blanks removed) and a value (leading blanks removed). A line without "="
  // is kept as a key without a value, which reads as absent. Within a section
  // the first occurrence of a key wins.
  void setText(std::string_view text);

  // The document laid out for a file: "[section]", "key=value" lines and an
  // empty line per section, every line ending in CR LF.
  std::string text() const;

  // The stored value, or nothing when the section or key is absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // A leading "0x" marks hexadecimal digits; a value that is no whole number reads as `fallback`.
  int readInteger(std::string_view section, std::string_view key, int fallback) const;

  // An existing key keeps its place; a new key goes to the end of its
  // section, a new section to the end of the document.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, int value);

  bool empty() const { return sections_.empty(); }

 private:
  struct Entry {
    std::string key;
    std::optional<std::string> value;  // nothing for a line without "="
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  const Section* findSection(std::string_view name) const;
  Section* findSection(std::string_view name);

  std::vector<Section> sections_;
};

}  // namespace dorvik
