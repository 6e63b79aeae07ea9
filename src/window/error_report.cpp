// SPDX-License-Identifier: Apache-2.0
#include "window/error_report.h"

#include <QCoreApplication>

#include "window/window_dialogs.h"
#include "window/window_texts.h"

namespace corvadex {

namespace {
WindowDialogs* g_dialogs = nullptr;
}

void setErrorReportDialogs(WindowDialogs* dialogs) { g_dialogs = dialogs; }
WindowDialogs* errorReportDialogs() { return g_dialogs; }

void reportCurrentException(QWidget* owner) {
  const QString text = QString::fromStdString(currentErrorText(
      [](const char* source) { return QCoreApplication::translate("ErrorReport", source).toStdString(); }));
  if (g_dialogs == nullptr) return;
  // The report itself must not throw back into the handler that failed.
  try {
    g_dialogs->messageBox(owner, text, QStringLiteral("Corvadex"), MessageIcon::Error);
  } catch (...) {
  }
}

CorvadexApplication::CorvadexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool CorvadexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    reportCurrentException(nullptr);
    return false;
  }
}

}  // namespace corvadex
