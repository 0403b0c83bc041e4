// dorvik: the setup tool's program start: the application, its style, the main window and the message loop.
#include <QApplication>

#include "core/mail/mail_error_box.h"
#include "platform/program_folder.h"
#include "setup/dialogs.h"
#include "setup/tform1.h"
#include "setup/vzhled.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("dorvik"));
  dorvik::setup::pouzijvzhled(app);

  dorvik::setup::QtDialogs dialogs;
  // A mail test that fails shows the sender's own box first.
  dorvik::setMailErrorBox([&dialogs](const std::string& text, const std::string& caption) {
    dialogs.zprava(QString::fromStdString(caption), QString::fromStdString(text), dorvik::setup::Ikona::Chyba);
  });
  dorvik::setup::TForm1 form1(dorvik::platform::programFolder(), dialogs);
  dialogs.setParent(&form1);
  form1.show();
  const int code = app.exec();
  dorvik::setMailErrorBox({});
  return code;
}
