// The HTML-file and attachment parameters: whether a name is an existing file, and reading the HTML part.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace dorvik {

// The UTF-8 name as a path, or nothing when it cannot name an existing regular
// file (empty, an embedded NUL, missing, a folder, a name the system rejects).
std::optional<std::filesystem::path> existingFile(std::string_view name);

// The content of the HTML file as UTF-8 (a leading byte-order mark dropped).
// Throws FileError naming the file when it cannot be opened or read.
std::string readHtmlFile(const std::filesystem::path& file);

}  // namespace dorvik
