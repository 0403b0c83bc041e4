// The scrambled settings file on disk and the plain dorvik.ini that seeds the in-memory settings.
#pragma once
#include <string>
#include <string_view>

#include "core/ini_document.h"

namespace dorvik {

inline constexpr std::string_view kSettingsFileName = "dorvik";
inline constexpr std::string_view kPlainSettingsFileName = "dorvik.ini";

// The in-memory settings of a program whose folder is `folder` (with its
// trailing separator): empty, or the content of a plain, unscrambled
// `dorvik.ini` in that folder when one exists, read as UTF-8.
IniDocument createSettingsDocument(const std::string& folder);

// Replaces the document's content with the unscrambled settings file at
// `path`. Returns false, leaving the document as it was, when there is no
// such file. Throws FileError when the file exists but cannot be read.
bool loadSettingsFile(IniDocument& settings, const std::string& path);

// Writes the document scrambled, as a UTF-8 file with byte-order mark. The
// new file replaces the old one whole (never a half-written file) and is
// readable by its owner only, since it holds passwords. Throws FileError.
void saveSettingsFile(const IniDocument& settings, const std::string& path);

// Decodes a text file: a UTF-8 or UTF-16 byte-order mark selects that
// encoding; without one the bytes are in the ANSI code page.
std::string decodeTextFile(std::string_view bytes);

// Splits at CR LF, CR or LF and joins the lines again, each followed by CR LF.
std::string normalizeLineBreaks(std::string_view text);

}  // namespace dorvik
