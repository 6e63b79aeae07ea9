// SPDX-License-Identifier: Apache-2.0
// What the window adds to its design: the find bar, the title with the file
// and the count, the status line, a file from the command line or dropped on
// the window, the details view emptied by an empty read and showing the start
// of long values, and the keys.
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <functional>

#include "window/details_view.h"
#include "window/find_bar.h"
#include "window/message_memo.h"
#include "window_fixture.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

ContactValues named(const std::string& nick, const std::string& notes = "") {
  ContactValues v(kContactColumnCount);
  v[0] = nick;
  v[kContactColumnCount - 1] = notes;
  return v;
}

class CountingCreate final : public TFormCorvadex {
 public:
  using TFormCorvadex::TFormCorvadex;
  void FormCreate() override { ++creates; }
  int creates = 0;
};

}  // namespace

class WindowAdditionsTest : public QObject, WindowFixture {
  Q_OBJECT

  static void drop(QWidget* target, const QString& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }

  QString title(const char* file, const char* count) {
    return QString::fromUtf8("Corvadex \u2014 %1 \u2014 %2").arg(file, count);
  }

 private slots:
  void init() { start(); }
  void cleanup() { stop(); }

  void findMovesTheSelectionIgnoringCaseAndAccents() {
    const std::string path = makeFile("people.edb", {named("Anna Sørensen"), named("Bob"),
                                                     named("Carl", "met at SORENSEN's"), named("Dora")});
    open<CountingCreate>(QString::fromStdString(path));
    QTRY_COMPARE(form_->contacts().count(), std::size_t{4});
    FindBar& bar = *form_->FindBar1;
    QVERIFY(!bar.isVisible());
    QTest::keyClick(form_.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar.isVisible());
    QVERIFY(bar.Field->hasFocus());

    enum Act { Type, F3, ShiftF3, Enter, ShiftEnter, NextButton };
    const struct {
      Act act;
      const char* text;
      int row;  // the selected row after it
      bool notFound;
    } steps[] = {
        {Type, "sorensen", 0, false},  // as typed: the first holding it
        {F3, "", 2, false},
        {F3, "", 0, false},           // wraps
        {ShiftF3, "", 2, false},      // wraps backwards
        {Enter, "", 0, false},
        {ShiftEnter, "", 2, false},
        {NextButton, "", 0, false},
        {Type, "x", 0, true},         // "sorensenx": nobody; the selection stays
        {Type, "\b\b\b\b\b\b\b\b\bDORA", 3, false},
    };
    for (const auto& s : steps) {
      switch (s.act) {
        case Type:
          for (const char* c = s.text; *c != '\0'; ++c) {
            if (*c == '\b') QTest::keyClick(bar.Field, Qt::Key_Backspace);
            else QTest::keyClicks(bar.Field, QString(QChar(*c)));
          }
          break;
        case F3: QTest::keyClick(bar.Field, Qt::Key_F3); break;
        case ShiftF3: QTest::keyClick(bar.Field, Qt::Key_F3, Qt::ShiftModifier); break;
        case Enter: QTest::keyClick(bar.Field, Qt::Key_Return); break;
        case ShiftEnter: QTest::keyClick(bar.Field, Qt::Key_Return, Qt::ShiftModifier); break;
        case NextButton: bar.NextButton->click(); break;
      }
      QCOMPARE(form_->contacts().selected(), std::optional<std::size_t>(s.row));
      QCOMPARE(bar.NotFound->isVisible(), s.notFound);
      // The selection shows the contact, as a click does.
      QCOMPARE(form_->e->box("EditNickname")->property("text").toString().toStdString(),
               db_.files[path][static_cast<std::size_t>(s.row)][0]);
    }
    QTest::keyClick(bar.Field, Qt::Key_Escape);
    QVERIFY(!bar.isVisible());
    QTest::keyClick(form_.get(), Qt::Key_F, Qt::ControlModifier);
    bar.CloseButton->click();
    QVERIFY(!bar.isVisible());
  }

  // A file reaches the window from the command line or dropped on it (on
  // the window, or on a text box that would take it as text): it is put into
  // the path edit and read as "Read" reads it. The command line's is read
  // instead of the start-up location, its first contact selected.
  void filesFromOutsideAreReadAsReadDoes() {
    const std::string path = makeFile("contacts.edb", {numberedContact(1), numberedContact(2)});
    const QString file = QString::fromStdString(path);
    enum Route { CommandLine, DropOnWindow, DropOnTextBox };
    for (const Route route : {CommandLine, DropOnWindow, DropOnTextBox}) {
      db_.readPaths.clear();
      auto& form = open<CountingCreate>(route == CommandLine ? file : QString());
      QCOMPARE(form.creates, route == CommandLine ? 0 : 1);
      if (route != CommandLine) {
        QCOMPARE(form.windowTitle(), QString("Corvadex"));  // the location read nothing
        drop(route == DropOnWindow ? static_cast<QWidget*>(&form) : form.MemoInfo, file);
      }
      QTRY_COMPARE(db_.readPaths, std::vector<std::string>{path});
      QCOMPARE(form.EditDBPath->text(), file);
      QVERIFY(form.RadioButton2->isChecked() && form.EditDBPath->isEnabled());
      QCOMPARE(form.contacts().selected(), std::optional<std::size_t>(0));  // every read shows its first
      QCOMPARE(form.windowTitle(), title("contacts.edb", "2 contacts"));
      QVERIFY(!form.MemoInfo->toPlainText().contains("file:"));  // not pasted as text
    }
  }

  void detailsShowValuesFromTheStartAndEmptyWithTheList() {
    ContactValues longValues;
    for (const ContactColumn& c : kContactColumns)
      longValues.push_back(std::string(c.name) + " begins here, " + std::string(300, 'x') + " ends here");
    const std::string full = makeFile("full.edb", {longValues});
    const std::string empty = makeFile("empty.edb", {});
    open<CountingCreate>(QString::fromStdString(full));
    QTRY_COMPARE(form_->contacts().selected(), std::optional<std::size_t>(0));
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b) {
      auto* edit = qobject_cast<QLineEdit*>(form_->e->box(kDetailsBoxes[b].name));
      if (edit == nullptr) continue;  // the notes memo
      QCOMPARE(edit->cursorPosition(), 0);
      QVERIFY(edit->text().endsWith(" ends here"));  // the whole value is there
    }
    form_->EditDBPath->setText(QString::fromStdString(empty));
    QTest::keyClick(form_->EditDBPath, Qt::Key_Return);  // Enter in the path edit reads
    QCOMPARE(form_->contacts().count(), std::size_t{0});
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b) QCOMPARE(form_->e->boxText(b), QString());
    QCOMPARE(form_->windowTitle(), title("empty.edb", "0 contacts"));
  }

  void titleAndStatusCountWhatWasReadAndExported() {
    const std::string path = makeFile("big.edb", std::vector<ContactValues>(20000, numberedContact(1)));
    const std::string one = makeFile("one.edb", {numberedContact(1)});
    open<CountingCreate>(QString::fromStdString(path));
    QTRY_COMPARE(form_->windowTitle(), title("big.edb", "20,000 contacts"));
    QCOMPARE(form_->LabelStatus->text(), QString("big.edb: 20,000 contacts read"));
    dialogs_.saveAnswers.push_back(dir_.filePath("out"));
    QTest::keyClick(form_.get(), Qt::Key_E, Qt::ControlModifier);  // Ctrl+E exports
    QCOMPARE(exports_.size(), std::size_t{1});
    QCOMPARE(form_->LabelStatus->text(), QString("20,000 contacts from big.edb exported to out.xml as XML"));
    form_->openFile(QString::fromStdString(one));
    QCOMPARE(form_->windowTitle(), title("one.edb", "1 contact"));
  }

  void keysOpenTheChooserAndTheGuide() {
    const std::string path = makeFile("keyed.edb", {named("Ann")});
    open<CountingCreate>();
    dialogs_.openAnswers.push_back(QString());  // cancelled
    QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(dialogs_.openShown.size(), std::size_t{1});
    QVERIFY(form_->ButtonChooseFile->isEnabled());
    QVERIFY(db_.readPaths.empty());
    dialogs_.openAnswers.push_back(QString::fromStdString(path));  // chosen: read at once
    QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(db_.readPaths, std::vector<std::string>{path});
    QTest::keyClick(form_.get(), Qt::Key_F1);
    QCOMPARE(dialogs_.opened.size(), std::size_t{1});
    QVERIFY(dialogs_.opened[0].contains("guide"));
    QTest::keyClick(form_.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form_->isVisible());
  }

  // The keyboard's ways: Escape in the find bar gives the list the keys, the
  // export buttons are the first stops after the list, Enter presses the
  // focused button, and Ctrl+Shift+E is the address-book export.
  void keyboardReachesTheListAndTheExports() {
    const std::string path = makeFile("keys.edb", {named("Ann"), named("Bob")});
    open<CountingCreate>(QString::fromStdString(path));
    QTRY_COMPARE(form_->contacts().count(), std::size_t{2});
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));

    QTest::keyClick(form_.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(form_->FindBar1->Field->hasFocus());
    QTest::keyClick(form_->FindBar1->Field, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), form_->ListViewContacts);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // moves in the list,
    QVERIFY(form_->RadioButton2->isChecked());                   // not the source
    QCOMPARE(form_->contacts().selected(), std::optional<std::size_t>(1));

    const struct {
      const char* step;
      std::function<void()> act;
      QWidget* focus;
      std::size_t xmlDialogs, typedDialogs;
    } steps[] = {
        {"Tab", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }, form_->ButtonExportToXML, 0, 0},
        {"Enter", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }, form_->ButtonExportToXML, 1,
         0},
        {"Tab", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }, form_->ButtonExportForAddressBook,
         1, 0},
        {"keypad Enter",
         [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier); },
         form_->ButtonExportForAddressBook, 1, 1},
        {"Ctrl+Shift+E",
         [this] { QTest::keyClick(form_->ListViewContacts, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier); },
         form_->ButtonExportForAddressBook, 1, 2},
    };
    for (const auto& s : steps) {
      s.act();
      QVERIFY2(QApplication::focusWidget() == s.focus, s.step);
      QVERIFY2(dialogs_.saveShown.size() == s.xmlDialogs, s.step);
      QVERIFY2(dialogs_.typedShown.size() == s.typedDialogs, s.step);
    }
    QVERIFY(exports_.empty());  // every dialog was cancelled
  }
};

QTEST_MAIN(WindowAdditionsTest)
#include "window_additions_test.moc"
