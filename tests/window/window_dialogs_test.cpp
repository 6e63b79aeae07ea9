// SPDX-License-Identifier: Apache-2.0
// The desktop's file dialogs as the window sets them up: filters, default
// extension, the proposed name, the overwrite question where it is asked
// for, the typed save dialog's title and names per type, and a typed name
// of a missing file accepted by the open dialog.
#include <QComboBox>
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

  // The export for other address books: the dialog asks before replacing,
  // says what it exports, and a name one type proposed follows the type
  // chosen; a name the user typed stays.
  void typedSaveDialogAsksAndProposesANamePerType() {
    QTemporaryDir dir;
    FileDialogSettings save{"vCard 3.0|*.vcf|vCard 4.0|*.vcf|Google CSV|*.csv", "vcf",
                            dir.filePath("contacts.vcf").toStdString(), true};
    save.title = "Export the contacts for another address book";
    save.typeFileNames = {"contacts.vcf", "contacts-vcard4.vcf", "contacts-google.csv"};
    QtWindowDialogs dialogs;
    QStringList names;
    whenDialogShows([&](QFileDialog& d) {
      QVERIFY(!d.testOption(QFileDialog::DontConfirmOverwrite));
      QCOMPARE(d.windowTitle(), QString("Export the contacts for another address book"));
      auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      QVERIFY(types != nullptr);
      const auto chooseType = [&](int index) {
        types->setCurrentIndex(index);
        emit types->activated(index);  // as the user's choice in the list does
        emit types->textActivated(types->itemText(index));
        names << QFileInfo(d.selectedFiles().value(0)).fileName();
      };
      chooseType(1);
      chooseType(2);
      d.selectFile(dir.filePath("mine.csv"));
      chooseType(0);  // the user's own name stays, with the type's ending
      static_cast<QDialog&>(d).accept();
    });
    const std::optional<TypedFileChoice> chosen = dialogs.saveFileTyped(nullptr, save);
    QCOMPARE(names, QStringList({"contacts-vcard4.vcf", "contacts-google.csv", "mine.vcf"}));
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->filterIndex, 0);
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
