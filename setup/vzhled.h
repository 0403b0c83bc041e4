// The window style: a calm graphite look with golden accents, the same for every window of the setup tool.
#pragma once

class QApplication;

namespace dorvik::setup {

// Applies the style, its palette, the font and the style sheet to the application.
void pouzijvzhled(QApplication& app);

}  // namespace dorvik::setup
