// The window framework's default error box: an error that no handler catches ends the handler with its message.
#pragma once
#include <exception>
#include <functional>

namespace dorvik::setup {

class Dialogs;

// Runs an event handler; an exception escaping it is shown as an error box
// with the program's caption and the error's message, and the handler ends.
// Returns false when it ended that way.
bool obsluha(Dialogs& dialogs, const std::function<void()>& handler);

// The same box for an error caught elsewhere (for example inside a grid's cell editing).
void chybovybox(Dialogs& dialogs, const std::exception& error);

}  // namespace dorvik::setup
