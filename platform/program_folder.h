// The folder of the running program's executable; every program finds its files from there.
#pragma once
#include <string>

namespace dorvik::platform {

// Absolute path of the executable's folder, with a trailing separator ("/" or "\").
std::string programFolder();

// Separator that programFolder() ends with.
char pathSeparator();

// What an executable's file name ends with: ".exe" on Windows, nothing on POSIX.
#ifdef _WIN32
inline constexpr const char* kExecutableSuffix = ".exe";
#else
inline constexpr const char* kExecutableSuffix = "";
#endif

}  // namespace dorvik::platform
