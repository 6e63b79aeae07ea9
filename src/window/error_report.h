// SPDX-License-Identifier: Apache-2.0
// The application's default error report: an error that escapes a handler
// ends that handler and is shown in a message box captioned "Corvadex" with
// the error's text, an error icon and OK; the program then goes on.
//
// Handlers are run through Guarded(), which catches at the handler's own
// boundary so no exception ever unwinds through the toolkit's frames;
// CorvadexApplication catches anything that still reaches the event loop.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace corvadex {

class WindowDialogs;

// Where the default error report shows its box. The application sets the
// desktop's dialogs; tests set their own.
void setErrorReportDialogs(WindowDialogs* dialogs);
WindowDialogs* errorReportDialogs();

// Shows the default error report for the exception being handled
// (call from inside a catch block).
void reportCurrentException(QWidget* owner);

// Runs a handler; an exception it throws goes to the default error report.
template <typename Handler>
void guarded(QWidget* owner, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    reportCurrentException(owner);
  }
}

class CorvadexApplication : public QApplication {
 public:
  CorvadexApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace corvadex
