// SPDX-License-Identifier: Apache-2.0
// The window over the real engine and the real XML export, on a database
// written by make-contacts-db: the read fills the list, and the window's
// export is byte for byte the command line's, replaces an existing file
// without a question, proposes the last name again, and reports a failed
// save without touching the earlier file.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "window/engine_services.h"
#include "window/error_report.h"
#include "window/message_memo.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.start(program, args);
  return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

// Reads and exports run on a thread of their own, the window answering
// meanwhile: waits until the one a click started has ended.
bool ended(TFormCorvadex& form) {
  return QTest::qWaitFor([&form] { return !form.behaviour().taskRunning(); }, 60000);
}

class WindowEngineTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString database_;
  const QString bin_ = QStringLiteral(CORVADEX_BIN_DIR);

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    database_ = dir_.filePath("contacts.edb");
    QVERIFY(Run(bin_ + "/make-contacts-db", {"--count", "40", "--seed", "7", database_}));
  }

  void readsAndExportsAsTheCommandLineDoes() {
    FakeDialogs dialogs;
    setErrorReportDialogs(&dialogs);
    EngineServices engine;
    TFormCorvadex form(engine.services(dialogs));
    showMainWindow(form);
    // What the start-up location found (or its report that this machine
    // has no mail client) is not what this test is about.
    dialogs.boxes.clear();
    const QString startupLog = form.MemoInfo->toPlainText();

    form.RadioButton2->click();
    form.EditDBPath->setText(database_);
    QTest::mouseClick(form.ButtonReadDatabase, Qt::LeftButton);
    QVERIFY(ended(form));
    QCOMPARE(form.contacts().count(), std::size_t{40});
    QVERIFY(form.MemoInfo->toPlainText().startsWith(startupLog));
    QCOMPARE(form.MemoInfo->toPlainText().mid(startupLog.size()).trimmed().section('\n', 1, 1).left(18),
             QString("database page size"));
    QVERIFY(dialogs.boxes.empty());

    // An earlier file of the chosen name is replaced once the dialog, which
    // asks before replacing, has it confirmed.
    const QString chosen = dir_.filePath("window");
    const QString written = chosen + ".xml";
    {
      QFile old(written);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("an earlier file");
    }
    dialogs.saveAnswers = {chosen};
    QTest::mouseClick(form.ButtonExportToXML, Qt::LeftButton);
    QVERIFY(ended(form));
    QVERIFY(dialogs.saveShown.at(0).overwritePrompt);
    QVERIFY(dialogs.boxes.empty());
    const QString cli = dir_.filePath("cli.xml");
    QVERIFY(Run(bin_ + "/corvadex-cli", {"export", database_, "--format", "xml", "-o", cli}));
    const QByteArray fromWindow = contents(written);
    QVERIFY(fromWindow.startsWith("<") && fromWindow.contains("<contacts"));
    QCOMPARE(fromWindow, contents(cli));

    // Cancel leaves the file alone; the next export proposes the last name.
    dialogs.saveAnswers = {QString()};
    QTest::mouseClick(form.ButtonExportToXML, Qt::LeftButton);
    QCOMPARE(dialogs.saveShown.at(1).fileName, written.toStdString());
    QCOMPARE(contents(written), fromWindow);

    // A save that cannot be made reaches the default error report with the
    // file's name; nothing appears, and the earlier file is untouched.
    const QString nowhere = dir_.filePath("no-such-folder/contacts.xml");
    dialogs.saveAnswers = {nowhere};
    QTest::mouseClick(form.ButtonExportToXML, Qt::LeftButton);
    QVERIFY(ended(form));
    QCOMPARE(dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(dialogs.boxes[0].caption, QString("Corvadex"));
    QCOMPARE(dialogs.boxes[0].icon, MessageIcon::Error);
    QVERIFY2(dialogs.boxes[0].text.contains("no-such-folder"), qPrintable(dialogs.boxes[0].text));
    QVERIFY(!QFile::exists(nowhere));
    QCOMPARE(contents(written), fromWindow);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files).size(), 3);  // database, window.xml, cli.xml

    // The second export: each file type writes its own format, the same
    // bytes as the command line's.
    const struct {
      int type;
      const char* name;
      const char* format;
      QByteArray start;
    } types[] = {
        {0, "book3", "vcard", "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Corvadex//"},
        {1, "book4", "vcard4", "BEGIN:VCARD\r\nVERSION:4.0\r\nPRODID:-//Corvadex//"},
        {2, "google", "google-csv", "First Name,Middle Name,Last Name,Nickname,"},
        {3, "outlook", "outlook-csv", "\xEF\xBB\xBF" "First Name,Middle Name,Last Name,Company,"},
    };
    for (const auto& t : types) {
      dialogs.typedAnswers = {{dir_.filePath(t.name).toStdString(), t.type}};
      QTest::mouseClick(form.ButtonExportForAddressBook, Qt::LeftButton);
      QVERIFY(ended(form));
      const QString file = dir_.filePath(t.name) + (t.type < 2 ? ".vcf" : ".csv");
      QVERIFY2(contents(file).startsWith(t.start), t.format);
      const QString cliFile = dir_.filePath(QString("cli-") + t.name);
      QVERIFY(Run(bin_ + "/corvadex-cli", {"export", database_, "--format", t.format, "-o", cliFile}));
      QCOMPARE(contents(file), contents(cliFile));
      const QString logged = form.MemoInfo->toPlainText().section('\n', -1);
      QVERIFY2(logged.startsWith("Exported 40 contacts from ") && logged.contains(" to " + file + " as "), t.format);
    }

    // The database itself is refused by both buttons, also through a link.
    const QByteArray before = contents(database_);
    const QString link = dir_.filePath("link.vcf");
    QVERIFY(QFile::link(database_, link));
    dialogs.boxes.clear();
    dialogs.saveAnswers = {database_};
    dialogs.typedAnswers = {{link.toStdString(), 0}};
    QTest::mouseClick(form.ButtonExportToXML, Qt::LeftButton);
    QTest::mouseClick(form.ButtonExportForAddressBook, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), std::size_t{2});
    QCOMPARE(contents(database_), before);
    setErrorReportDialogs(nullptr);
  }
};

QTEST_MAIN(WindowEngineTest)
#include "window_engine_test.moc"
