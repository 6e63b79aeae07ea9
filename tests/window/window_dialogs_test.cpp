// SPDX-License-Identifier: Apache-2.0
// The desktop's file dialogs as the window sets them up: filters, default
// extension, the proposed name, no overwrite question on save, and a typed
// name of a missing file accepted by the open dialog.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "window/window_dialogs.h"

using namespace corvadex;

namespace {

// Runs `inspect` on the file dialog once it is shown, then lets `answer`
// close it.
void whenDialogShows(std::function<void(QFileDialog&)> inspect) {
  QTimer::singleShot(0, [inspect] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    inspect(*dialog);
  });
}

}  // namespace

class WindowDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void filtersAndNamesInQtForm() {
    QCOMPARE(QtNameFilters("xml files|*.xml"), QStringList({"xml files (*.xml)"}));
    QCOMPARE(QtNameFilters("*.edb|*.edb"), QStringList({"*.edb (*.edb)"}));
    QCOMPARE(QtNameFilters("a|*.a|b|*.b;*.c"), QStringList({"a (*.a)", "b (*.b *.c)"}));
    QCOMPARE(withDefaultExt("/tmp/contacts", "xml"), QString("/tmp/contacts.xml"));
    QCOMPARE(withDefaultExt("/tmp/contacts.XML", "xml"), QString("/tmp/contacts.XML"));
    QCOMPARE(withDefaultExt("/tmp/dir.d/contacts", "xml"), QString("/tmp/dir.d/contacts.xml"));
    QCOMPARE(withDefaultExt("/tmp/contacts", ""), QString("/tmp/contacts"));
  }

  void saveDialogReplacesWithoutAsking() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("contacts.xml");
    QFile(existing).open(QIODevice::WriteOnly);
    FileDialogSettings save{"xml files|*.xml", "xml", existing.toStdString(), false};
    QtWindowDialogs dialogs;
    whenDialogShows([&](QFileDialog& d) {
      QCOMPARE(d.acceptMode(), QFileDialog::AcceptSave);
      QVERIFY(d.testOption(QFileDialog::DontConfirmOverwrite));
      QCOMPARE(d.defaultSuffix(), QString("xml"));
      QCOMPARE(d.nameFilters(), QStringList({"xml files (*.xml)"}));
      QCOMPARE(d.selectedFiles().value(0), existing);
      static_cast<QDialog&>(d).accept();  // as the dialog's own button does  // an existing file: no question follows
    });
    QCOMPARE(dialogs.saveFile(nullptr, save), std::optional<QString>(existing));

    whenDialogShows([](QFileDialog& d) { d.reject(); });
    QCOMPARE(dialogs.saveFile(nullptr, save), std::nullopt);
  }

  void openDialogTakesATypedMissingName() {
    QTemporaryDir dir;
    const QString missing = dir.filePath("typed.edb");
    FileDialogSettings open{"*.edb|*.edb", "", "", false, dir.path().toStdString()};
    QtWindowDialogs dialogs;
    whenDialogShows([&](QFileDialog& d) {
      QCOMPARE(d.acceptMode(), QFileDialog::AcceptOpen);
      QCOMPARE(d.directory().canonicalPath(), QDir(dir.path()).canonicalPath());  // the start folder
      QCOMPARE(d.nameFilters(), QStringList({"*.edb (*.edb)"}));
      d.selectFile(missing);
      static_cast<QDialog&>(d).accept();  // as the dialog's own button does
    });
    QCOMPARE(dialogs.openFile(nullptr, open), std::optional<QString>(missing));
  }
};

QTEST_MAIN(WindowDialogsTest)
#include "window_dialogs_test.moc"
