// corvadex: the window. Builds the application, whose default error report
// shows any error escaping a handler, and the main window over the real
// storage engine, runs the window's create handler and shows it.
// Options: --search DIR (repeatable), a folder to search for contacts
// databases when the mail client's own place holds none.
#include <QIcon>
#include <string>
#include <vector>

#include "location/database_search.h"

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
  // The folders named with --search are searched when the mail client's own
  // place holds no database (Qt has taken its own options out of argv).
  corvadex::EngineServices engine(
      corvadex::SearchFolderArguments(std::vector<std::string>(argv + 1, argv + argc)));
  corvadex::TFormCorvadex form(engine.Services(dialogs));
  corvadex::ShowMainWindow(form);
  return QApplication::exec();
}
