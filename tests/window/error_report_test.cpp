// SPDX-License-Identifier: Apache-2.0
// The application's default error report: an exception that escapes event
// handling is shown in a box captioned "Corvadex" with the error's text and
// an error icon, and the application goes on handling events.
#include <QTest>
#include <new>
#include <stdexcept>

#include "window/error_report.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

// Throws from its event handler on every user event.
class Thrower final : public QObject {
 public:
  int handled = 0;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) {
      ++handled;
      if (handled == 1) throw std::runtime_error("disk on fire");
      if (handled == 2) throw std::bad_alloc();
      throw 42;
    }
    return QObject::event(e);
  }
};

}  // namespace

class ErrorReportTest : public QObject {
  Q_OBJECT

 private slots:
  void escapedErrorsAreShownAndTheApplicationGoesOn() {
    FakeDialogs dialogs;
    setErrorReportDialogs(&dialogs);
    Thrower thrower;
    for (int i = 0; i < 3; ++i) QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&thrower, QEvent::User);
    QCOMPARE(thrower.handled, 3);
    QCOMPARE(dialogs.boxes.size(), std::size_t{3});
    QCOMPARE(dialogs.boxes[0].text, QString("disk on fire"));
    QCOMPARE(dialogs.boxes[1].text, QString("Out of memory."));
    QCOMPARE(dialogs.boxes[2].text, QString("An unknown error occurred."));
    for (const auto& box : dialogs.boxes) {
      QCOMPARE(box.caption, QString("Corvadex"));
      QCOMPARE(box.icon, MessageIcon::Error);
    }
    setErrorReportDialogs(nullptr);
  }

  void guardedHandlersReportTheirOwnErrors() {
    FakeDialogs dialogs;
    setErrorReportDialogs(&dialogs);
    QWidget owner;
    bool after = false;
    guarded(&owner, [] { throw std::invalid_argument("bad input"); });
    guarded(&owner, [&after] { after = true; });
    QVERIFY(after);
    QCOMPARE(dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(dialogs.boxes[0].text, QString("bad input"));
    QCOMPARE(dialogs.boxes[0].owner, &owner);
    setErrorReportDialogs(nullptr);
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  CorvadexApplication app(argc, argv);
  ErrorReportTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "error_report_test.moc"
