// SPDX-License-Identifier: Apache-2.0
// The window opening on a Wine prefix: its create handler finds the mail
// client, reads the database at the mail client's path through the real
// engine, and the window first shows with the log lines, the list filled and
// the first contact's details; without a mail client the default error
// report shows the conversion error and the window opens empty, and the
// search that follows reads the one database it finds, or the one the user
// picks of several.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include "contacts_database.h"
#include "location/database_location.h"
#include "location/database_search.h"
#include "location/found_database_text.h"
#include "location/volume_tree.h"
#include "ese/path_mapping_jet.h"
#include "platform/mingw_pe.h"
#include "platform/short_date.h"
#include "platform/test_prefix.h"
#include "platform/wine_prefix_view.h"
#include "store/contact_store_reader.h"
#include "window/database_chooser.h"
#include "window/details_view.h"
#include "window/engine_services.h"
#include "window/message_memo.h"
#include "window_fixture.h"

using namespace corvadex;
using namespace corvadex::testing;

namespace {

constexpr const char* kDatabase =
    "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/contacts.edb";
constexpr const char* kWindowsPath =
    "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows "
    "Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb";

}  // namespace

class WindowLocationTest : public QObject, WindowFixture {
  Q_OBJECT

  FixedShortDateFormat dates_{"%d.%m.%Y"};
  ese::EngineJet engine_;
  std::unique_ptr<TestPrefix> prefix_;
  std::unique_ptr<platform::WinePrefixView> windows_;
  std::unique_ptr<ese::PathMappingJet> jet_;

  // The window as the program builds it, on the test's prefix.
  void openOnPrefix() {
    windows_ = std::make_unique<platform::WinePrefixView>(
        platform::WinePrefixLocation{prefix_->rootFolder(), "bob"});
    jet_ = std::make_unique<ese::PathMappingJet>(
        engine_, [this](std::string_view path) { return windows_->paths().toHost(path); });
    FormServices services = testServices(dialogs_, db_, exports_);
    services.makeReader = [this](MessageLog& log, ContactList& list) {
      return std::make_unique<ContactStoreReader>(*jet_, log, list, dates_);
    };
    useWinePrefix(services, *windows_);
    openWith(std::move(services));
  }

  // The window over a fake reader on a prefix without the mail client; the
  // search examines the folders of `disks` given.
  void openSearching(const VolumeTree& disks, const std::vector<std::string>& folders) {
    windows_ = std::make_unique<platform::WinePrefixView>(
        platform::WinePrefixLocation{prefix_->rootFolder(), "bob"});
    FormServices services = testServices(dialogs_, db_, exports_);
    services.windows = windows_.get();
    auto host = std::make_shared<TreeHost>();
    host->home = disks.path("home");
    host->root = disks.path("system");
    host->mounts = "/dev/sdb1 /media/bob/Old\\040Disk ntfs3 ro 0 0\n";
    std::vector<std::string> paths;
    for (const std::string& folder : folders) paths.push_back(disks.path(folder));
    services.startSearch = [host, paths] {
      return std::make_unique<DatabaseSearch>(host, "", paths, std::chrono::seconds(10));
    };
    openWith(std::move(services));
  }

  QStringList logLines() const {
    const QString text = form_->MemoInfo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }

 private slots:
  void init() {
    start();
    prefix_ = std::make_unique<TestPrefix>();
    prefix_->writeSystemReg(
        "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]\n\"CurrentVersion\"=\"6.1\"\n");
    prefix_->writeUserReg("");
    prefix_->makeFolder("users/bob/AppData/Local");
    prefix_->makeFolder("Program Files");
  }

  void cleanup() {
    stop();
    prefix_.reset();
  }

  void opensWithTheMailClientsDatabaseRead() {
    if (const std::string missing = MingwPe::missingTools(); !missing.empty()) {
      QSKIP(missing.c_str());
    }
    QVERIFY(MingwPe::build(prefix_->onDriveC("build"),
                           prefix_->onDriveC("Program Files/Windows Live/Mail/wlmail.exe"),
                           PeArch::X86, {"16,4,3528,331", "15,0,0,0", false}));
    esew::ContactsDatabaseOptions options;
    options.count = 7;
    options.seed = 11;
    prefix_->makeFolder(std::filesystem::path(kDatabase).parent_path().string());
    QCOMPARE(esew::writeContactsDatabase(prefix_->onDriveC(kDatabase).string(), options),
             std::string());

    openOnPrefix();

    const QStringList lines = logLines();
    QVERIFY(lines.size() >= 5);
    QCOMPARE(lines.mid(0, 5), (QStringList{"Windows Live Mail version 16",
                                           "C:\\users\\bob\\AppData\\Local", "C:\\Program Files",
                                           "C:\\users\\bob",
                                           QString("Database File: ") + kWindowsPath}));
    QVERIFY(!lines.contains("ERROR DatabaseFilePath not Exists"));
    QVERIFY(!lines.join('\n').contains("drop"));  // a database was read: no hint
    QVERIFY(form_->location() != nullptr);
    QCOMPARE(form_->location()->MailVersion, 16);
    QCOMPARE(form_->location()->DatabasePath, std::string(kWindowsPath));

    // Every contact read, the first one selected and shown.
    QCOMPARE(form_->contacts().count(), std::size_t{7});
    QCOMPARE(form_->ListViewContacts->model()->rowCount(), 7);
    QCOMPARE(form_->contacts().selected(), std::optional<std::size_t>(0));
    const ContactRow& first = form_->contacts().item(0);
    const std::string firstName(first.Value(kContactColumns[1]));
    QVERIFY(!firstName.empty());
    QCOMPARE(static_cast<QLineEdit*>(form_->e->box("EditFirstname"))->text(),
             QString::fromStdString(firstName));

    // The path found is not shown in the path edit; no dialog came up. The
    // file dialog would start in the database's folder.
    QCOMPARE(form_->EditDBPath->text(), QString());
    QCOMPARE(std::filesystem::canonical(form_->OpenDialog1.directory),
             std::filesystem::canonical(prefix_->onDriveC(kDatabase).parent_path()));
    QVERIFY(dialogs_.boxes.empty());
    QVERIFY(form_->isVisible());
  }

  void withoutTheMailClientReportsTheConversionError() {
    openOnPrefix();
    QCOMPARE(dialogs_.boxes.size(), std::size_t{1});
    QCOMPARE(dialogs_.boxes[0].text, QString("'' is not a valid integer value."));
    QVERIFY(dialogs_.boxes[0].icon == MessageIcon::Error);
    QVERIFY(!dialogs_.boxes[0].ownerVisible);  // before the window is first shown
    // The Part's log stays empty; one line after it says how to go on.
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains("\"...\"") && lines[0].contains("drop"));
    QCOMPARE(form_->contacts().count(), std::size_t{0});
    QCOMPARE(form_->location()->MailVersion, 0);
    QVERIFY(form_->isVisible());
  }

  void searchesFurtherWhenThePrefixHoldsNoDatabase() {
    const char* const k155 =
        "AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/contacts.edb";
    const char* const k154 =
        "AppData/Local/Microsoft/Windows Live/Contacts/default/15.4/DBStore/contacts.edb";
    struct Case {
      const char* name;
      std::vector<std::string> folders;
      int answer;  // the row picked in the chooser; -1 dismisses it
      int read;    // the database read: 0 the Windows 10 disk's, 1 the older one, -1 none
    };
    const Case cases[] = {
        {"one find", {"win10"}, -2, 0},
        {"two finds, the older picked", {"win7", "win10"}, 1, 1},
        {"two finds, dismissed", {"win7", "win10"}, -1, -1},
        {"no find", {"empty"}, -2, -1},
    };
    for (const Case& c : cases) {
      init();
      const VolumeTree disks;
      disks.write(std::string("win10/Users/bob/") + k155, 1'700'000'000);
      disks.write(std::string("win7/Users/ann/") + k154, 1'300'000'000);
      disks.makeFolder("empty/Users/Public");
      disks.makeFolder("system/media/bob/Old Disk/Users/Public");
      const std::string real = std::filesystem::canonical(disks.path()).string();
      const std::string paths[] = {real + "/win10/Users/bob/" + k155,
                                   real + "/win7/Users/ann/" + k154};
      for (const std::string& path : paths) db_.files[path] = {numberedContact(1), numberedContact(2)};
      std::vector<QStringList> shownRows;
      dialogs_.whileModal = [&](QDialog& dialog) {
        auto* chooser = dynamic_cast<DatabaseChooser*>(&dialog);
        QVERIFY(chooser != nullptr);
        QStringList users;
        for (int i = 0; i < chooser->Rows->topLevelItemCount(); ++i)
          users << chooser->Rows->topLevelItem(i)->text(1) + " " +
                       chooser->Rows->topLevelItem(i)->text(2);
        shownRows.push_back(users);
        if (c.answer < 0) {
          dialog.reject();
        } else {
          chooser->Rows->setCurrentItem(chooser->Rows->topLevelItem(c.answer));
          dialog.accept();
        }
      };

      openSearching(disks, c.folders);
      // The location's error comes first, the search's finds after it.
      QCOMPARE(dialogs_.boxes.size(), std::size_t{1});
      QVERIFY(!dialogs_.boxes[0].ownerVisible);
      QTRY_VERIFY(!form_->searchPending());

      qInfo("%s", c.name);
      QCOMPARE(shownRows.size(), std::size_t(c.answer == -2 ? 0 : 1));
      if (!shownRows.empty()) QCOMPARE(shownRows[0], (QStringList{"bob 15.5", "ann 15.4"}));
      const std::vector<std::string> expectedReads =
          c.read < 0 ? std::vector<std::string>{} : std::vector<std::string>{paths[c.read]};
      QCOMPARE(db_.readPaths, expectedReads);
      const QStringList lines = logLines();
      if (c.read >= 0) {
        QVERIFY(lines.contains(QString::fromStdString("Database File: " + paths[c.read])));
        QCOMPARE(form_->contacts().selected(), std::optional<std::size_t>(0));
      }
      QCOMPARE(lines.contains("No database chosen"), c.answer == -1);
      QCOMPARE(lines.contains("No other contacts database found"), c.folders[0] == "empty");
      // The log says when the search starts and where it looked: every
      // place by name when it found nothing.
      QVERIFY(lines.contains("Searching for contacts databases in other places"));
      const QStringList counts = lines.filter(QRegularExpression("^Searched [0-9]+ places for contacts databases$"));
      QCOMPARE(counts.size(), 1);
      const QString emptyDisk = QString::fromStdString(disks.path("empty"));
      QCOMPARE(lines.contains("Searched: " + emptyDisk), c.folders[0] == "empty");
      // Nothing read: the last line says how to go on.
      QCOMPARE(lines.last().contains("drop"), c.read < 0);

      // The file dialog starts where the last find was (or on the disk).
      form_->RadioButton2->setChecked(true);
      dialogs_.openAnswers.push_back(QString());
      form_->ButtonChooseFile->click();
      const std::string start = c.folders[0] == "empty" ? disks.path("system/media/bob/Old Disk")
                                                        : folderOf(paths[c.answer == 1 ? 1 : 0]);
      QCOMPARE(dialogs_.openShown.back().directory, start);

      // F5 goes back to the automatic source and searches again; whatever
      // it finds is offered in the chooser, a single find and a database
      // already read included.
      const std::size_t chooserShown = shownRows.size();
      QTest::keyClick(form_.get(), Qt::Key_F5);
      QVERIFY(form_->RadioButton1->isChecked());
      QVERIFY(!form_->EditDBPath->isEnabled());
      QTRY_VERIFY(!form_->searchPending());
      QCOMPARE(shownRows.size(), chooserShown + (c.folders[0] == "empty" ? 0 : 1));
      cleanup();
    }
  }
};

QTEST_MAIN(WindowLocationTest)
#include "window_location_test.moc"
