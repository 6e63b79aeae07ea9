// The window opening on a Wine prefix: its create handler finds the mail
// client, reads the database at the mail client's path through the real
// engine, and the window first shows with the log lines, the list filled and
// the first contact's details; without a mail client the default error
// report shows the conversion error and the window opens empty.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "contacts_database.h"
#include "contacts/details_view.h"
#include "location/database_location.h"
#include "platform/drive_path_jet.h"
#include "platform/mingw_pe.h"
#include "platform/short_date.h"
#include "platform/test_prefix.h"
#include "platform/wine_prefix_view.h"
#include "window/contact_list_view.h"
#include "window/error_report.h"
#include "window/message_memo.h"
#include "window/store_services.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

constexpr const char* kDatabase =
    "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/contacts.edb";
constexpr const char* kWindowsPath =
    "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows "
    "Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb";

}  // namespace

class WindowLocationTest : public QObject {
  Q_OBJECT

  FakeDialogs dialogs_;
  FixedShortDateFormat dates_{"%d.%m.%Y"};
  ese::EngineJet engine_;
  std::unique_ptr<TestPrefix> prefix_;
  std::unique_ptr<platform::WinePrefixView> windows_;
  std::unique_ptr<platform::DrivePathJet> jet_;
  std::unique_ptr<TFormCorvadex> form_;

  // The window as the program builds it, on the test's prefix.
  void Open() {
    windows_ = std::make_unique<platform::WinePrefixView>(
        platform::WinePrefixLocation{prefix_->Root(), "bob"});
    jet_ = std::make_unique<platform::DrivePathJet>(engine_, windows_->Paths());
    FormServices services =
        StoreServices(*jet_, dates_, dialogs_, [](const ContactList&, const std::string&) {});
    services.fileExists = [view = windows_.get()](const std::string& path) {
      return view->FileExists(path);
    };
    services.windows = windows_.get();
    form_ = std::make_unique<TFormCorvadex>(std::move(services));
    ShowMainWindow(*form_);
  }

  QStringList LogLines() const {
    const QString text = form_->MemoInfo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }

 private slots:
  void init() {
    dialogs_ = FakeDialogs();
    SetErrorReportDialogs(&dialogs_);
    prefix_ = std::make_unique<TestPrefix>();
    prefix_->WriteSystemReg(
        "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]\n\"CurrentVersion\"=\"6.1\"\n");
    prefix_->WriteUserReg("");
    prefix_->MakeFolder("users/bob/AppData/Local");
    prefix_->MakeFolder("Program Files");
  }

  void cleanup() {
    form_.reset();
    SetErrorReportDialogs(nullptr);
    prefix_.reset();
  }

  void opensWithTheMailClientsDatabaseRead() {
    if (const std::string missing = MingwPe::MissingTools(); !missing.empty()) {
      QSKIP(missing.c_str());
    }
    QVERIFY(MingwPe::Build(prefix_->OnDriveC("build"),
                           prefix_->OnDriveC("Program Files/Windows Live/Mail/wlmail.exe"),
                           PeArch::X86, {"16,4,3528,331", "15,0,0,0", false}));
    esew::ContactsDatabaseOptions options;
    options.count = 7;
    options.seed = 11;
    prefix_->MakeFolder(std::filesystem::path(kDatabase).parent_path().string());
    QCOMPARE(esew::writeContactsDatabase(prefix_->OnDriveC(kDatabase).string(), options),
             std::string());

    Open();

    const QStringList lines = LogLines();
    QVERIFY(lines.size() >= 5);
    QCOMPARE(lines.mid(0, 5), (QStringList{"Windows Live Mail version 16",
                                           "C:\\users\\bob\\AppData\\Local", "C:\\Program Files",
                                           "C:\\users\\bob",
                                           QString("Database File: ") + kWindowsPath}));
    QVERIFY(!lines.contains("ERROR DatabaseFilePath not Exists"));
    QVERIFY(!lines.join('\n').contains("drop"));  // a database was read: no hint
    QVERIFY(form_->Location() != nullptr);
    QCOMPARE(form_->Location()->MailVersion, 16);
    QCOMPARE(form_->Location()->DatabasePath, std::string(kWindowsPath));

    // Every contact read, the first one selected and shown.
    QCOMPARE(form_->Contacts().Count(), std::size_t{7});
    QCOMPARE(form_->ListViewContacts->model()->rowCount(), 7);
    QCOMPARE(form_->Contacts().Selected(), std::optional<std::size_t>(0));
    const ContactRow& first = form_->Contacts().Item(0);
    const std::string firstName(first.Value(kContactColumns[1]));
    QVERIFY(!firstName.empty());
    QCOMPARE(static_cast<QLineEdit*>(form_->e->Box("EditFirstname"))->text(),
             QString::fromStdString(firstName));

    // The path found is not shown in the path edit; no dialog came up.
    QCOMPARE(form_->EditDBPath->text(), QString());
    QVERIFY(dialogs_.boxes.empty());
    QVERIFY(form_->isVisible());
  }

  void withoutTheMailClientReportsTheConversionError() {
    Open();
    QCOMPARE(dialogs_.boxes.size(), std::size_t{1});
    QCOMPARE(dialogs_.boxes[0].text, QString("'' is not a valid integer value."));
    QVERIFY(dialogs_.boxes[0].icon == MessageIcon::Error);
    QVERIFY(!dialogs_.boxes[0].ownerVisible);  // before the window is first shown
    // The Part's log stays empty; one line after it says how to go on.
    const QStringList lines = LogLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains("\"...\"") && lines[0].contains("drop"));
    QCOMPARE(form_->Contacts().Count(), std::size_t{0});
    QCOMPARE(form_->Location()->MailVersion, 0);
    QVERIFY(form_->isVisible());
  }
};

QTEST_MAIN(WindowLocationTest)
#include "test_window_location.moc"
