// Opening a file the way the desktop does: a program is started, another file goes to its application.
#pragma once
#include <string>

namespace dorvik::platform {

// A program is started detached, with no arguments, and outlives the caller; its working folder is
// unspecified. Windows: the shell's "open" with a normal window. Elsewhere: an executable file is
// started in a session of its own with standard input and output on /dev/null; any other file is
// handed to xdg-open. Throws dorvik::Error saying why when nothing could be started.
void openWithShell(const std::string& path);

}  // namespace dorvik::platform
