// SPDX-License-Identifier: Apache-2.0
// The window's keys work wherever the keyboard is: in the path box, the find
// field, the log and the list, even when the focused box claims the key as
// its own (as a line edit does with Ctrl+E under X11 desktops' bindings).
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "window/contact_list_view.h"
#include "window/find_bar.h"
#include "window/message_memo.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

// Wants every key before the shortcuts, as a text box with editing
// bindings for them would.
class ClaimsEveryKey final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    event->accept();
    return true;
  }
};

}  // namespace

class ShortcutKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void keysReachTheWindowWhateverHasFocus() {
    FakeDialogs dialogs;
    FakeDatabase db;
    std::vector<ExportCall> exports;
    TFormCorvadex form(testServices(dialogs, db, exports));
    showMainWindow(form);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.RadioButton2->setChecked(true);  // the path box takes the keyboard
    form.FindBar1->open();                // and so does the find field
    form.FindBar1->Field->setText("someone");
    ClaimsEveryKey claim;

    QWidget* const places[] = {form.EditDBPath, form.FindBar1->Field, form.MemoInfo,
                               form.ListViewContacts};
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      std::function<std::size_t()> effects;
    } keys[] = {
        {Qt::Key_E, Qt::ControlModifier, [&] { return dialogs.saveShown.size(); }},
        {Qt::Key_O, Qt::ControlModifier, [&] { return dialogs.openShown.size(); }},
        {Qt::Key_F1, Qt::NoModifier, [&] { return dialogs.opened.size(); }},
        // The find bar opens with its text selected.
        {Qt::Key_F, Qt::ControlModifier, [&] { return std::size_t(form.FindBar1->Field->hasSelectedText()); }},
    };
    for (QWidget* place : places) {
      place->installEventFilter(&claim);
      for (const auto& k : keys) {
        place->setFocus();
        form.FindBar1->Field->deselect();
        QVERIFY2(place->hasFocus(), place->metaObject()->className());
        const std::size_t before = k.effects();
        QTest::keyClick(place, k.key, k.modifiers);
        QVERIFY2(k.effects() > before,
                 qPrintable(QString("%1 in %2").arg(QKeySequence(k.key | k.modifiers).toString(),
                                                    place->metaObject()->className())));
      }
      place->removeEventFilter(&claim);
    }
    form.EditDBPath->setFocus();
    form.EditDBPath->installEventFilter(&claim);
    QTest::keyClick(form.EditDBPath, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form.isVisible());
  }
};

QTEST_MAIN(ShortcutKeysTest)
#include "shortcut_keys_test.moc"
