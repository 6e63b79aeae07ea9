// SPDX-License-Identifier: Apache-2.0
// The main window under the offscreen platform: controls and their initial
// states, the handlers reached from the controls, the details view filled
// from the selection, the about link, anchors on resize, and the default
// error report. What the handlers do is tested on WindowBehaviour
// (window_behaviour_test.cpp).
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <set>

#include "window/UnitAbout.h"
#include "window/anchors.h"
#include "window/details_view.h"
#include "window/link_label.h"
#include "window/message_memo.h"
#include "window_fixture.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

// The value a box shows for a contact: its column's place in the master table.
std::string columnValue(const ContactValues& values, std::string_view column) {
  for (std::size_t i = 0; i < kContactColumnCount; ++i)
    if (kContactColumns[i].name == column) return values[i];
  return "?";
}

class ThrowingCreate final : public TFormCorvadex {
 public:
  using TFormCorvadex::TFormCorvadex;
  void FormCreate() override { throw std::runtime_error("no mail client found"); }
};

}  // namespace

class MainWindowTest : public QObject, WindowFixture {
  Q_OBJECT

  std::string dbPath_;
  std::string otherDbPath_;

  // What a user would notice of the layout: every visible control inside
  // its parent, and none covering another but where the design lets two
  // edges touch, and no more than there (the radio buttons share a row of
  // pixels, the chooser button sits on the path edit's right frame).
  static void expectControlsKeepTheirRoom(TFormCorvadex& f) {
    const std::pair<Control, Control> touching[] = {{Control::RadioButton1, Control::RadioButton2},
                                                    {Control::EditDBPath, Control::ButtonChooseFile}};
    for (const ControlPlace& place : kWindowControls) {
      if (place.sizing == Sizing::ByParent) continue;  // the page control's to place
      QWidget* w = f.widget(place.control);
      QWidget* parent = f.widget(place.parent);
      QVERIFY2(parent->rect().contains(w->geometry()), place.name.data());
      for (QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == w || other->isWindow() || !other->isVisible() || !w->isVisible()) continue;
        // Two that touch in the design touch no more than there.
        QRect allowed;
        for (const auto& [a, b] : touching) {
          if ((f.widget(a) == w && f.widget(b) == other) || (f.widget(b) == w && f.widget(a) == other))
            allowed = toQRect(placeOf(a).design).intersected(toQRect(placeOf(b).design));
        }
        const QRect covered = w->geometry().intersected(other->geometry());
        QVERIFY2(covered.width() <= allowed.width() && covered.height() <= allowed.height(),
                 qPrintable(QString::fromLatin1(place.name.data()) + " covers " + other->objectName()));
      }
    }
  }

  void expectBoxesShow(const ContactValues& values) {
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b)
      QCOMPARE(form().e->boxText(b).toStdString(), columnValue(values, kDetailsBoxes[b].column));
  }

 private slots:
  void init() {
    start();
    dbPath_ = makeFile("first.edb", {numberedContact(1), numberedContact(2), numberedContact(3)});
    otherDbPath_ = makeFile("second.edb", {numberedContact(7)});
    open();
  }

  void cleanup() { stop(); }

  void opensWithTheDesignedControlsAndStates() {
    TFormCorvadex& f = form();
    QCOMPARE(f.windowTitle(), QString("Corvadex"));
    QCOMPARE(f.pos(), QPoint(kDesignLeft, kDesignTop));
    QCOMPARE(f.size(), QSize(kDesignClientSize.width, kDesignClientSize.height));
    QCOMPARE(f.font().pointSize(), 8);

    // Every control of the layout table stands in its parent where the
    // table puts it. Those sized to their caption are never cut: they widen
    // from the edge they keep when the caption needs more room.
    for (const ControlPlace& place : kWindowControls) {
      QWidget* w = f.widget(place.control);
      const QString name = QString::fromLatin1(place.name.data(), static_cast<qsizetype>(place.name.size()));
      QCOMPARE(f.findChild<QWidget*>(name), w);
      if (place.sizing == Sizing::ByParent)
        QVERIFY(f.e->indexOf(w) >= 0);  // a page of the page control
      else
        QCOMPARE(w->parentWidget(), f.widget(place.parent));
      const Rect at = toRect(w->geometry());
      switch (place.sizing) {
        case Sizing::Fixed:
          QCOMPARE(at, place.design);
          break;
        case Sizing::WidensToCaption:
        case Sizing::KeepsRightEdge:
          QVERIFY2(at.width >= place.design.width && at.width >= w->sizeHint().width(), qPrintable(name));
          QCOMPARE(at.top, place.design.top);
          QCOMPARE(at.height, place.design.height);
          if (place.sizing == Sizing::WidensToCaption)
            QCOMPARE(at.left, place.design.left);
          else
            QCOMPARE(at.right(), place.design.right());
          break;
        case Sizing::ByParent:
          break;
      }
    }
    expectControlsKeepTheirRoom(f);
    // Only the path controls wait for the chosen-file source.
    const std::set<Control> disabled = {Control::EditDBPath, Control::ButtonChooseFile, Control::ButtonReadDatabase};
    for (const ControlPlace& place : kWindowControls)
      QCOMPARE(f.widget(place.control)->isEnabled(), disabled.count(place.control) == 0);
    QCOMPARE(f.RadioButton1->text(), QString("Find the contacts database authomatically"));
    QCOMPARE(f.RadioButton2->text(), QString("Choose the database file"));
    QVERIFY(f.RadioButton1->isChecked());
    QVERIFY(!f.RadioButton2->isChecked());
    QCOMPARE(f.Label1->text(), QString("About"));
    QVERIFY(f.Label1->font().bold() && f.Label1->font().underline());
    QCOMPARE(f.Label1->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(f.ButtonChooseFile->text(), QString("..."));
    QCOMPARE(f.ButtonReadDatabase->text(), QString("Read"));
    QCOMPARE(f.ButtonExportToXML->text(), QString("Export to XML file"));
    QCOMPARE(f.ButtonExportForAddressBook->text(), QString("Export for another address book..."));
    QVERIFY(f.EditDBPath->text().isEmpty());
    QVERIFY(f.MemoInfo->toPlainText().isEmpty());
    QVERIFY(!f.MemoInfo->isReadOnly());
    QCOMPARE(f.MemoInfo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(f.MemoInfo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // The list: report view of five captioned columns, one selection at
    // most, no editing, no sorting.
    auto* view = f.ListViewContacts;
    QCOMPARE(view->model()->rowCount(), 0);
    const char* captions[] = {"NickName", "First Name", "Middle Name", "Last Name", "EMail"};
    const int widths[] = {80, 80, 100, 110, 80};
    QCOMPARE(view->model()->columnCount(), 5);
    // Each column as wide as designed, each widened by dragging its edge;
    // the last one (E-mail) takes what the others leave of the list's width.
    for (int c = 0; c < 5; ++c) {
      QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), QString(captions[c]));
      QCOMPARE(view->header()->sectionResizeMode(c), QHeaderView::Interactive);
      if (c < 4) QCOMPARE(view->columnWidth(c), widths[c]);
    }
    const auto fillsTheWidth = [view] {
      return view->header()->sectionViewportPosition(4) + view->columnWidth(4) == view->viewport()->width();
    };
    QVERIFY(view->columnWidth(4) > widths[4]);
    QVERIFY(fillsTheWidth());
    f.resize(f.width() + 100, f.height());
    QTRY_VERIFY(fillsTheWidth());
    QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!view->isSortingEnabled());
    QVERIFY(!view->header()->sectionsClickable());

    // The details view: five pages, " Contact " in front, empty boxes.
    const char* pages[][2] = {{"TabSheetContact", " Contact "}, {"TabSheetPersonal", " Personal "},
                              {"TabSheet3", " Work "},         {"TabSheet4", " IM "},
                              {"TabSheetNotes", " Notes "}};
    QCOMPARE(f.e->count(), 5);
    for (int p = 0; p < 5; ++p) {
      QCOMPARE(f.e->widget(p)->objectName(), QString(pages[p][0]));
      QCOMPARE(f.e->tabText(p), QString(pages[p][1]));
    }
    QCOMPARE(f.e->currentIndex(), 0);
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b) {
      const DetailsBox& d = kDetailsBoxes[b];
      QWidget* box = f.findChild<QWidget*>(QString::fromLatin1(d.name.data(), d.name.size()));
      QVERIFY2(box != nullptr, d.name.data());
      QCOMPARE(box->parentWidget(), f.e->widget(d.page));
      QCOMPARE(box->geometry(), QRect(d.left, d.top, d.width, d.height));
      QVERIFY(box->isEnabled());
      QVERIFY(f.e->boxText(b).isEmpty());
    }

    // Dialog settings.
    QCOMPARE(f.OpenDialog1.filter, std::string("*.edb|*.edb"));
    QCOMPARE(f.SaveDialog1.filter, std::string("xml files|*.xml"));
    QCOMPARE(f.SaveDialog1.defaultExt, std::string("xml"));
    QCOMPARE(f.SaveDialog1.fileName, std::string("contacts.xml"));
    QVERIFY(f.SaveDialog1.overwritePrompt);
    QVERIFY(dialogs_.boxes.empty());
  }

  void tabOrderFollowsTheDesign() {
    TFormCorvadex& f = form();
    // Walk the focus chain and keep the window's own tab stops in order.
    QList<QWidget*> wanted = {f.ListViewContacts, f.ButtonExportToXML, f.ButtonExportForAddressBook,
                              f.MemoInfo,         f.EditDBPath,        f.ButtonChooseFile,
                              f.ButtonReadDatabase, f.RadioButton1,    f.RadioButton2};
    QList<QWidget*> seen;
    QWidget* w = f.ListViewContacts;
    for (int i = 0; i < 200; ++i) {
      if (wanted.contains(w) && !seen.contains(w)) seen << w;
      w = w->nextInFocusChain();
    }
    QCOMPARE(seen, wanted);
    // The details view sits between the log and the path edit.
    QList<QWidget*> chain;
    for (w = f.MemoInfo->nextInFocusChain(); w != f.EditDBPath; w = w->nextInFocusChain())
      chain << w;
    QVERIFY(chain.contains(f.e->box("EditFirstname")));
    // Within the " Contact " page, row by row; the export buttons came
    // before, right after the list.
    QStringList pageOrder;
    for (QWidget* c : chain)
      if (c->parentWidget() == f.e->TabSheetContact && (c->focusPolicy() & Qt::TabFocus))
        pageOrder << c->objectName();
    QCOMPARE(pageOrder, QStringList({"EditFirstname", "EditMiddlename", "EditLastname",
                                     "EditNickname", "EditHomephone", "EditPersonalemail",
                                     "EditWorkphone", "EditWorkemail", "EditMobilephone",
                                     "EditOtheremail", "EditOtherphone"}));
    QCOMPARE(f.Label1->focusPolicy(), Qt::NoFocus);

    // Of the two radio buttons only the checked one is a tab stop: Tab goes
    // from "Read" to it, and from it round to the list.
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.ButtonReadDatabase->setEnabled(true);
    f.ButtonReadDatabase->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.RadioButton1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.ListViewContacts);
  }

  void radioButtonsSwitchThePathControls() {
    TFormCorvadex& f = form();
    QTest::mouseClick(f.RadioButton2, Qt::LeftButton);
    QVERIFY(f.RadioButton2->isChecked() && !f.RadioButton1->isChecked());
    QVERIFY(f.EditDBPath->isEnabled());
    QVERIFY(f.ButtonChooseFile->isEnabled());
    QVERIFY(!f.ButtonReadDatabase->isEnabled());  // still no path

    // One character enables "Read", deleting it disables it again.
    f.EditDBPath->setFocus();
    QTest::keyClick(f.EditDBPath, 'x');
    QVERIFY(f.ButtonReadDatabase->isEnabled());
    QTest::keyClick(f.EditDBPath, Qt::Key_Backspace);
    QVERIFY(f.EditDBPath->text().isEmpty());
    QVERIFY(!f.ButtonReadDatabase->isEnabled());

    // Back to the automatic source: edit and chooser off, "Read" kept, text
    // kept, and "Read" reads the path from the disabled edit.
    f.EditDBPath->setText(QString::fromStdString(dbPath_));
    QTest::mouseClick(f.RadioButton1, Qt::LeftButton);
    QVERIFY(f.RadioButton1->isChecked());
    QVERIFY(!f.EditDBPath->isEnabled());
    QVERIFY(!f.ButtonChooseFile->isEnabled());
    QVERIFY(f.ButtonReadDatabase->isEnabled());
    QCOMPARE(f.EditDBPath->text(), QString::fromStdString(dbPath_));
    QTest::mouseClick(f.ButtonReadDatabase, Qt::LeftButton);
    QCOMPARE(db_.readPaths, std::vector<std::string>{dbPath_});
    QCOMPARE(f.ListViewContacts->model()->rowCount(), 3);

    // Clicking the button already checked raises nothing.
    f.EditDBPath->setEnabled(true);
    QTest::mouseClick(f.RadioButton1, Qt::LeftButton);
    QVERIFY(f.EditDBPath->isEnabled());
  }

  void readRefusesWhatIsNotAFileWithoutLogging() {
    TFormCorvadex& f = form();
    readThroughButton(dbPath_);
    const QString logBefore = f.MemoInfo->toPlainText();
    const QString missing = dir_.filePath("gone.edb");
    for (const QString& path : {missing, dir_.path()}) {
      dialogs_.boxes.clear();
      f.EditDBPath->setText(path);
      QTest::mouseClick(f.ButtonReadDatabase, Qt::LeftButton);
      QCOMPARE(dialogs_.boxes.size(), std::size_t{1});
      QCOMPARE(dialogs_.boxes[0].text, QString(" File does not exists. "));
      QCOMPARE(dialogs_.boxes[0].caption, QString(" Corvadex"));
      QCOMPARE(dialogs_.boxes[0].icon, MessageIcon::Error);
      QCOMPARE(dialogs_.boxes[0].owner, static_cast<QWidget*>(&f));
    }
    QCOMPARE(db_.readPaths.size(), std::size_t{1});
    QCOMPARE(f.MemoInfo->toPlainText(), logBefore);
    QCOMPARE(f.ListViewContacts->model()->rowCount(), 3);
  }

  void readFillsListAndLogAndShowsTheFirstContact() {
    TFormCorvadex& f = form();
    readThroughButton(dbPath_);
    QCOMPARE(db_.busyDuringRead, std::vector<bool>{true});
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    auto* model = f.ListViewContacts->model();
    QCOMPARE(model->rowCount(), 3);
    const ContactValues second = numberedContact(2);
    for (int c = 0; c < 5; ++c)
      QCOMPARE(model->index(1, c).data().toString().toStdString(), second[c]);
    QVERIFY(f.ListViewContacts->selectionModel()->isRowSelected(0, QModelIndex()));
    QCOMPARE(f.contacts().selected(), std::optional<std::size_t>(0));
    expectBoxesShow(numberedContact(1));
    QCOMPARE(f.MemoInfo->toPlainText(), QString::fromStdString("Reading contacts database: " + dbPath_ +
                                                               "\nReading " + dbPath_ + "\n3 contacts read"));

    // A second read replaces the rows; the log keeps every earlier line.
    f.EditDBPath->setText(QString::fromStdString(otherDbPath_));
    QTest::mouseClick(f.ButtonReadDatabase, Qt::LeftButton);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 0).data().toString().toStdString(), numberedContact(7)[0]);
    expectBoxesShow(numberedContact(7));
    QCOMPARE(f.MemoInfo->document()->blockCount(), 6);

    // Lines are appended whole after text a user typed into the log.
    f.MemoInfo->moveCursor(QTextCursor::End);
    f.MemoInfo->insertPlainText("typed");
    f.MemoInfo->Add("next line");
    QVERIFY(f.MemoInfo->toPlainText().endsWith("typed\nnext line"));
  }

  void selectionFillsTheDetailBoxes() {
    TFormCorvadex& f = form();
    db_.files[dbPath_].push_back(ContactValues(kContactColumnCount));  // all empty
    readThroughButton(dbPath_);

    clickRow(1);
    QCOMPARE(f.contacts().selected(), std::optional<std::size_t>(1));
    expectBoxesShow(numberedContact(2));
    // The five values shown twice agree, and only EditNickname shows the nickname.
    const char* twins[][2] = {{"EditHomephone", "EditHomephone2"},
                              {"EditPersonalemail", "EditPersonalemail2"},
                              {"EditWorkphone", "EditWorkphone2"},
                              {"EditWorkemail", "EditWorkemail2"},
                              {"EditOtherphone", "EditOtherphone2"}};
    for (const auto& t : twins)
      QCOMPARE(static_cast<QLineEdit*>(f.e->box(t[0]))->text(),
               static_cast<QLineEdit*>(f.e->box(t[1]))->text());
    int nicknames = 0;
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b)
      nicknames += f.e->boxText(b) == QString::fromStdString(numberedContact(2)[0]);
    QCOMPARE(nicknames, 1);
    QCOMPARE(f.e->currentIndex(), 0);  // no page brought to the front
    QCOMPARE(f.MemoInfo->document()->blockCount(), 3);  // no log line

    // Typed text is replaced when the row is selected again.
    auto* first = static_cast<QLineEdit*>(f.e->box("EditFirstname"));
    first->setText("typed by the user");
    clickRow(0);
    clickRow(1);
    expectBoxesShow(numberedContact(2));

    // A click on empty space unselects and keeps the boxes.
    QTest::mouseClick(f.ListViewContacts->viewport(), Qt::LeftButton, {},
                      QPoint(20, f.ListViewContacts->viewport()->height() - 5));
    QVERIFY(!f.contacts().selected());
    QVERIFY(!f.ListViewContacts->selectionModel()->hasSelection());
    expectBoxesShow(numberedContact(2));

    // The all-empty contact empties every box, typed text included.
    first->setText("typed again");
    clickRow(3);
    expectBoxesShow(ContactValues(kContactColumnCount));

    // A selection made by code on the list shows in the view and the boxes.
    f.contacts().setSelected(2, true);
    QCOMPARE(f.ListViewContacts->selectionModel()->selectedRows().value(0).row(), 2);
    expectBoxesShow(numberedContact(3));

    // Keyboard movement selects too.
    f.ListViewContacts->setFocus();
    QTest::keyClick(f.ListViewContacts, Qt::Key_Up);
    expectBoxesShow(numberedContact(2));

    // A later read shows its own first contact, not one of the list before.
    f.EditDBPath->setText(QString::fromStdString(otherDbPath_));
    QTest::mouseClick(f.ButtonReadDatabase, Qt::LeftButton);
    QCOMPARE(f.contacts().selected(), std::optional<std::size_t>(0));
    expectBoxesShow(numberedContact(7));
  }

  void highlightShowsOnlyWhileTheListHasFocus() {
    TFormCorvadex& f = form();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    readThroughButton(dbPath_);
    clickRow(1);
    QVERIFY(f.ListViewContacts->hasFocus());
    auto* view = f.ListViewContacts;
    const QPoint inRow = view->visualRect(f.contactsModel().index(1, 0)).center() + QPoint(30, 0);
    const QColor highlight = view->palette().color(QPalette::Active, QPalette::Highlight);
    // The style may shade the highlight a little.
    auto highlighted = [&] {
      const QColor c = view->viewport()->grab().toImage().pixelColor(inRow);
      return std::abs(c.red() - highlight.red()) + std::abs(c.green() - highlight.green()) +
                 std::abs(c.blue() - highlight.blue()) <= 12;
    };
    QVERIFY(highlighted());
    f.MemoInfo->setFocus();
    QVERIFY(!view->hasFocus());
    QVERIFY(!highlighted());
    QVERIFY(f.contacts().selected().has_value());  // still selected, just not drawn
    view->setFocus();
    QVERIFY(highlighted());
  }

  void notesShowSeveralLines() {
    TFormCorvadex& f = form();
    ContactValues c = numberedContact(1);
    c.back() = "first line\nsecond line\n\tindented & <b>";
    db_.files[dbPath_] = {c};
    readThroughButton(dbPath_);
    clickRow(0);
    QCOMPARE(f.e->MemoNotes->toPlainText(), QString("first line\nsecond line\n\tindented & <b>"));
    QCOMPARE(f.e->MemoNotes->document()->blockCount(), 3);
    QCOMPARE(f.e->MemoNotes->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(f.e->MemoNotes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  }

  void popupMenuSaveToFileDoesNothing() {
    TFormCorvadex& f = form();
    QCOMPARE(f.PopupMenu1->actions().size(), 1);
    QCOMPARE(f.Savetofile1->text(), QString("Save to file"));
    f.Savetofile1->trigger();  // empty list
    readThroughButton(dbPath_);
    clickRow(0);
    const QString log = f.MemoInfo->toPlainText();
    f.Savetofile1->trigger();
    QCOMPARE(f.MemoInfo->toPlainText(), log);
    QCOMPARE(f.ListViewContacts->model()->rowCount(), 3);
    QVERIFY(dialogs_.boxes.empty() && dialogs_.saveShown.empty() && exports_.empty());
  }

  void aboutIsBuiltAfreshOnEachClick() {
    TFormCorvadex& f = form();
    std::vector<QPointer<QDialog>> seen;
    std::vector<bool> alreadyTouched;
    dialogs_.whileModal = [&](QDialog& d) {
      alreadyTouched.push_back(d.property("touched").isValid());
      QCOMPARE(static_cast<QDialog*>(f.AboutForm), &d);
      QCOMPARE(d.windowTitle(), QString(" About Corvadex"));
      QCOMPARE(d.parentWidget(), static_cast<QWidget*>(&f));
      d.setProperty("touched", true);
      seen.emplace_back(&d);
    };
    QTest::mouseClick(f.Label1, Qt::LeftButton);
    QCOMPARE(f.AboutForm, nullptr);
    QVERIFY(seen[0] != nullptr);  // released later, not at once
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(seen[0] == nullptr);
    QTest::mouseClick(f.Label1, Qt::LeftButton);
    QCOMPARE(seen.size(), std::size_t{2});
    QCOMPARE(alreadyTouched, std::vector<bool>({false, false}));
    QCOMPARE(dialogs_.modalShown.size(), std::size_t{2});
    // The window is usable in between and after.
    QTest::mouseClick(f.RadioButton2, Qt::LeftButton);
    QVERIFY(f.EditDBPath->isEnabled());
  }

  void anchorsKeepDistancesOnResize() {
    TFormCorvadex& f = form();
    const QRect list = f.ListViewContacts->geometry(), edit = f.EditDBPath->geometry(),
                details = f.e->geometry(), chooser = f.ButtonChooseFile->geometry(),
                read = f.ButtonReadDatabase->geometry(), about = f.Label1->geometry(),
                log = f.MemoInfo->geometry(), radio = f.RadioButton1->geometry();
    f.findContact();  // the find bar shown too
    expectControlsKeepTheirRoom(f);
    f.resize(f.width() + 100, f.height() + 40);
    expectControlsKeepTheirRoom(f);
    QCOMPARE(f.ListViewContacts->geometry(), list.adjusted(0, 0, 100, 0));
    QCOMPARE(f.EditDBPath->geometry(), edit.adjusted(0, 0, 100, 0));
    QCOMPARE(f.e->geometry(), details.translated(100, 0));
    QCOMPARE(f.ButtonChooseFile->geometry(), chooser.translated(100, 0));
    QCOMPARE(f.ButtonReadDatabase->geometry(), read.translated(100, 0));
    QCOMPARE(f.Label1->geometry(), about.translated(100, 0));
    QCOMPARE(f.MemoInfo->geometry(), log.adjusted(0, 0, 100, 40));
    QCOMPARE(f.RadioButton1->geometry(), radio);
    f.resize(kDesignClientSize.width, kDesignClientSize.height);
    QCOMPARE(f.MemoInfo->geometry(), log);
    QCOMPARE(f.e->geometry(), details);
  }

  // An error escaping a handler is shown by the default report, over the
  // window, or before the window opens for the create handler; the busy
  // cursor goes, and the program goes on.
  void handlerErrorsReachTheDefaultReport() {
    const struct {
      const char* handler;
      std::function<void()> raise;
      const char* text;
      bool overTheWindow;
    } cases[] = {
        {"ButtonReadDatabaseClick", [this] { db_.throwOnRead = true; readThroughButton(dbPath_); },
         "the reader broke down", true},
        {"FormCreate", [this] { open<ThrowingCreate>(); }, "no mail client found", false},
    };
    for (const auto& c : cases) {
      dialogs_.boxes.clear();
      c.raise();
      QVERIFY2(dialogs_.boxes.size() == 1, c.handler);
      QCOMPARE(dialogs_.boxes[0].text, QString(c.text));
      QCOMPARE(dialogs_.boxes[0].caption, QString("Corvadex"));
      QCOMPARE(dialogs_.boxes[0].icon, MessageIcon::Error);
      QCOMPARE(dialogs_.boxes[0].ownerVisible, c.overTheWindow);
      QCOMPARE(QApplication::overrideCursor(), nullptr);
      QVERIFY(form().isVisible());
      db_.throwOnRead = false;
      readThroughButton(dbPath_);
      QCOMPARE(form().ListViewContacts->model()->rowCount(), 3);
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
