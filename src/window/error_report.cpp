// SPDX-License-Identifier: Apache-2.0
#include "window/error_report.h"

#include <QCoreApplication>
#include <new>
#include <stdexcept>

#include "window/window_dialogs.h"

namespace corvadex {

namespace {
WindowDialogs* g_dialogs = nullptr;
}

void setErrorReportDialogs(WindowDialogs* dialogs) { g_dialogs = dialogs; }
WindowDialogs* errorReportDialogs() { return g_dialogs; }

void reportCurrentException(QWidget* owner) {
  QString text;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    text = QCoreApplication::translate("ErrorReport", "Out of memory.");
  } catch (const std::exception& e) {
    text = QString::fromUtf8(e.what());
  } catch (...) {
    text = QCoreApplication::translate("ErrorReport", "An unknown error occurred.");
  }
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
