// SPDX-License-Identifier: Apache-2.0
// corvadex: the window. Answers --version and --help before anything of Qt
// starts (so both work without a display), then builds the application, whose
// default error report shows any error escaping a handler, and the main window
// over the real storage engine, runs the window's create handler and shows it.
#include <QFileInfo>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "corvadex_version.h"
#include "location/database_search.h"
#include "window/Unit1.h"
#include "window/about_picture.h"
#include "window/engine_services.h"
#include "window/error_report.h"
#include "window/translation.h"
#include "window/window_dialogs.h"

namespace {

constexpr const char* kHelp =
    "Usage: corvadex [OPTION...] [FILE]\n"
    "\n"
    "Opens the Corvadex window, which lists, shows and exports the contacts of a\n"
    "contacts database (contacts.edb), strictly read-only. Given a FILE, it reads\n"
    "that file once the window is up. Otherwise it looks at start-up for the mail\n"
    "client's database in the Wine prefix ($WINEPREFIX, else ~/.wine) and reads it.\n"
    "Without one there, it looks in other Wine prefixes, on mounted Windows volumes\n"
    "and in the folders named with --search; any other database file can be chosen\n"
    "in the window or dropped on it.\n"
    "\n"
    "Options:\n"
    "  --search DIR       also look in DIR (a copied profile, a Users folder, a\n"
    "                     backup of a disk); repeatable\n"
    "  -h, --help         this text\n"
    "  --version          the program's name and version\n"
    "\n"
    "Qt's own options are accepted as well, among them:\n"
    "  -platform NAME     the window system plugin (xcb, wayland, offscreen, ...)\n"
    "  -style NAME        the widget style (Fusion, Windows, ...)\n"
    "  -reverse           right-to-left layout\n"
    "\n"
    "Environment: WINEPREFIX (where to look at start-up); LC_TIME (how dates are\n"
    "shown); LANGUAGE, LC_ALL, LC_MESSAGES, LANG (the window's language: English,\n"
    "or German); QT_QPA_PLATFORM (the window system plugin, as -platform).\n"
    "\n"
    "Exit status: 0 once the window is closed, 2 for an option it does not know\n"
    "or more than one file.\n"
    "The command line tool is corvadex-cli.\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::fputs("corvadex " CORVADEX_VERSION "\n", stdout);
      return 0;
    }
  }

  corvadex::CorvadexApplication app(argc, argv);
  // Qt has taken its own options; what is left may be --search DIR and one
  // file to read ("--" ends the options, for a file whose name starts with a
  // dash). Anything else is a mistake, said before a window opens rather
  // than ignored.
  const QStringList rest = QCoreApplication::arguments().mid(1);
  const auto refuse = [](const char* what, const QString& arg) {
    std::fprintf(stderr, "corvadex: %s '%s'\nTry 'corvadex --help'.\n", what, arg.toLocal8Bit().constData());
    return 2;
  };
  std::vector<std::string> searchArguments;
  QStringList files;
  bool optionsEnded = false;
  for (qsizetype i = 0; i < rest.size(); ++i) {
    if (!optionsEnded && rest[i] == QLatin1String("--")) {
      optionsEnded = true;
    } else if (!optionsEnded && rest[i] == QLatin1String("--search") && i + 1 < rest.size()) {
      searchArguments.push_back("--search");
      searchArguments.push_back(rest[++i].toLocal8Bit().toStdString());
    } else if (!optionsEnded && rest[i].startsWith(QLatin1Char('-'))) {
      return refuse("unknown argument", rest[i]);
    } else {
      files.push_back(rest[i]);
    }
  }
  if (files.size() > 1) return refuse("one file at a time, not also", files.at(1));
  const QString startFile = files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
  QApplication::setApplicationName(QStringLiteral("Corvadex"));
  QApplication::setApplicationVersion(QStringLiteral(CORVADEX_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("corvadex"));
  QApplication::setWindowIcon(QIcon(corvadex::transparentPicture(corvadex::aboutPicture())));
  corvadex::installTranslation(app);

  corvadex::QtWindowDialogs dialogs;
  corvadex::setErrorReportDialogs(&dialogs);
  // The folders named with --search are searched when the mail client's own
  // place holds no database.
  corvadex::EngineServices engine(corvadex::searchFolderArguments(searchArguments));
  corvadex::TFormCorvadex form(engine.services(dialogs));
  corvadex::showMainWindow(form, startFile);
  return QApplication::exec();
}
