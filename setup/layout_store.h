// The layout store dvgrid.ini: the window's placement and the task grids' column layouts under the form's section.
#pragma once
#include <optional>
#include <string>

#include "core/ini_document.h"

namespace dorvik::setup {

class LayoutStore {
 public:
  // The file and the section path ("%FORM_NAME%\" gives the form's name as the section).
  LayoutStore(std::string path, std::string section);

  // Reads the file; a missing file leaves the store empty. Throws FileError when it cannot be read.
  void nacti();
  // Writes the file whole as UTF-8. Throws FileError.
  void uloz() const;

  std::optional<std::string> hodnota(const std::string& key) const;
  std::optional<int> cislo(const std::string& key) const;
  // "TRUE", "YES", "Y" and "FALSE", "NO", "N", any case; anything else is nothing.
  std::optional<bool> logicka(const std::string& key) const;
  void zapis(const std::string& key, const std::string& value);

 private:
  std::string path_;
  std::string section_;
  IniDocument ini_;
};

}  // namespace dorvik::setup
