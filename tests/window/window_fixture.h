// SPDX-License-Identifier: Apache-2.0
// The main window over the fakes of window_fakes.h, for the Qt Test classes
// that drive it through its controls: each test starts with fresh fakes and
// files in a folder of its own, opens the window and closes it after.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "window/contact_list_model.h"
#include "window/contact_list_view.h"
#include "window/error_report.h"
#include "window_fakes.h"

namespace corvadex::testing {

class WindowFixture {
 protected:
  // For the test class's init() and cleanup() slots.
  void start() {
    dialogs_ = FakeDialogs();
    db_ = FakeDatabase();
    exports_.clear();
    setErrorReportDialogs(&dialogs_);
  }
  void stop() {
    form_.reset();
    setErrorReportDialogs(nullptr);
  }

  // A file in the test's folder that the fake reader loads `contacts` from.
  std::string makeFile(const char* name, std::vector<ContactValues> contacts = {}) {
    const std::string path = dir_.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path) << "read by the fake reader";
    db_.files[path] = std::move(contacts);
    return path;
  }

  // Makes the window (of the given class, the window's own or a test's
  // subclass of it) over these services and shows it as the program does,
  // with its start file.
  template <class Window = TFormCorvadex>
  Window& openWith(FormServices services, const QString& startFile = QString()) {
    form_.reset();
    auto window = std::make_unique<Window>(std::move(services));
    Window& shown = *window;
    form_ = std::move(window);
    showMainWindow(shown, startFile);
    return shown;
  }
  // The same over the fakes, once the window is on the screen.
  template <class Window = TFormCorvadex>
  Window& open(const QString& startFile = QString()) {
    Window& shown = openWith<Window>(testServices(dialogs_, db_, exports_), startFile);
    if (!QTest::qWaitForWindowExposed(&shown)) QTest::qFail("the window was not shown", __FILE__, __LINE__);
    return shown;
  }

  TFormCorvadex& form() { return *form_; }

  // Reads `path` as a user does: the chosen-file source, the path typed,
  // "Read" clicked.
  void readThroughButton(const std::string& path) {
    form().RadioButton2->click();
    form().EditDBPath->setText(QString::fromStdString(path));
    QTest::mouseClick(form().ButtonReadDatabase, Qt::LeftButton);
  }

  void clickRow(int row) {
    auto* view = form().ListViewContacts;
    const QRect r = view->visualRect(form().contactsModel().index(row, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
  }

  FakeDialogs dialogs_;
  FakeDatabase db_;
  std::vector<ExportCall> exports_;
  QTemporaryDir dir_;
  std::unique_ptr<TFormCorvadex> form_;
};

}  // namespace corvadex::testing
