// corvadex: the window. Builds the application, whose default error report
// shows any error escaping a handler, and the main window over the real
// storage engine, runs the window's create handler and shows it.
#include <QIcon>

#include "window/Unit1.h"
#include "window/about_picture.h"
#include "window/engine_services.h"
#include "window/error_report.h"
#include "window/window_dialogs.h"

int main(int argc, char** argv) {
  corvadex::CorvadexApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Corvadex"));
  QApplication::setDesktopFileName(QStringLiteral("corvadex"));
  QApplication::setWindowIcon(QIcon(corvadex::TransparentPicture(corvadex::AboutPicture())));

  corvadex::QtWindowDialogs dialogs;
  corvadex::SetErrorReportDialogs(&dialogs);
  corvadex::EngineServices engine;
  corvadex::TFormCorvadex form(engine.Services(dialogs));
  corvadex::ShowMainWindow(form);
  return QApplication::exec();
}
