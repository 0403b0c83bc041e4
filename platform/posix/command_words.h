// Splitting a Windows-style command line into the words of a POSIX program start.
#pragma once
#include <string>
#include <vector>

namespace dorvik::platform {

// The first word is taken as Windows takes the program: up to the first blank,
// or between double quotes when it begins with one. The other words follow the
// C runtime's rules: double quotes group (a doubled one inside quotes is a
// literal quote), 2n backslashes before a quote give n, 2n+1 give n and a
// literal quote, other backslashes stay as they are.
std::vector<std::string> commandWords(const std::string& commandLine);

}  // namespace dorvik::platform
