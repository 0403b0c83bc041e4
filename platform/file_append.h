// Appending to shared text files (the run and service logs) from several processes at once.
#pragma once
#include <string>
#include <string_view>

namespace dorvik::platform {

// Appends `bytes` to the file at `path`, creating it when missing. Concurrent
// appends from other processes never interleave with this one: each call's
// bytes arrive whole and contiguous. Throws FileError on failure.
void appendToFile(const std::string& path, std::string_view bytes);

// Reads a whole file; throws FileError naming the file on failure.
std::string readWholeFile(const std::string& path);

bool fileExists(const std::string& path);

}  // namespace dorvik::platform
