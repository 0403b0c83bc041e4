// Test support: gives a copy of one of our built programs another version, so that tests can publish
// "newer" or "older" programs without building them twice.
#pragma once
#include <string>

#include "platform/file_version.h"

namespace dorvik::testing {

// Rewrites the version note of the ELF executable at `path` in place. Throws dorvik::Error when the
// file has no version note (it was not stamped by dorvik_file_version) and FileError when it cannot
// be written.
void stampFileVersion(const std::string& path, const platform::FileVersion& v);

}  // namespace dorvik::testing
