// Replacing a file whole, so that readers see either the old or the new content.
#pragma once
#include <string>
#include <string_view>

namespace dorvik::platform {

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`. On failure the old file is untouched and the
// temporary file is removed. With `ownerOnly` the file is readable and
// writable by its owner alone. Throws FileError naming the file.
void replaceFileAtomically(const std::string& path, std::string_view bytes, bool ownerOnly);

}  // namespace dorvik::platform
