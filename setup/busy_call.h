// Runs a blocking call (connecting, a backup) off the window thread while the window keeps painting but takes no input.
#pragma once
#include <functional>

class QWidget;

namespace dorvik::setup {

// Calls `work` on a worker thread and waits for it with a local event loop
// that repaints but ignores user input, under a busy cursor; `indicator`,
// when given, is shown while the call runs. An exception of `work` is
// rethrown here, on the window thread.
void busyCall(const std::function<void()>& work, QWidget* indicator = nullptr);

}  // namespace dorvik::setup
