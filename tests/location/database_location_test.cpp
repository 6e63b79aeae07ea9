// SPDX-License-Identifier: Apache-2.0
#include "location/database_location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "location/folder_lookup.h"
#include "location/parse_integer.h"
#include "platform/mingw_pe.h"
#include "platform/test_prefix.h"
#include "platform/wine_prefix_view.h"
#include "caption_row.h"

namespace corvadex {
namespace {

using corvadex::testing::MingwPe;
using corvadex::testing::PeArch;
using corvadex::testing::TestPrefix;
using Lines = std::vector<std::string>;

enum class Windows { XP, Seven, Ten64 };

constexpr const char* kDatabaseKey =
    "[Software\\\\Microsoft\\\\Windows Live Contacts\\\\Database]\n";

// A prefix of a given Windows release with the user "bob" and his standard
// folders; the mail client and the database are added by each test.
class DatabaseLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (auto missing = MingwPe::missingTools(); !missing.empty()) GTEST_SKIP() << missing;
    fresh();
  }

  // Starts over on a new prefix (for tests that try several versions).
  void fresh() {
    prefix_ = std::make_unique<TestPrefix>();
    log_ = std::make_unique<LineLog>();
    list_ = std::make_unique<ContactList>();
    location_.reset();
    view_.reset();
    reads_.clear();
    prefix_->makeFolder("users/bob/AppData/Local");
    prefix_->makeFolder("users/bob/Local Settings/Application Data");
    prefix_->makeFolder("Program Files");
    prefix_->makeFolder("Program Files (x86)");
  }

  void makeWindows(Windows windows, std::string userRegistry = "") {
    windows_ = windows;
    std::string system = "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]\n";
    switch (windows) {
      case Windows::XP:
        system += "\"CurrentVersion\"=\"5.1\"\n";
        // An XP prefix keeps local application data in the older place.
        userRegistry +=
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]\n"
            "\"Local AppData\"=\"C:\\\\users\\\\bob\\\\Local Settings\\\\Application Data\"\n";
        break;
      case Windows::Seven: system += "\"CurrentVersion\"=\"6.1\"\n"; break;
      case Windows::Ten64:
        system += "\"CurrentMajorVersionNumber\"=dword:0000000a\n\"CurrentVersion\"=\"6.3\"\n";
        break;
    }
    prefix_->writeSystemReg(system, windows == Windows::Ten64);
    prefix_->writeUserReg(userRegistry, windows == Windows::Ten64);
  }

  // wlmail.exe with the given file version; its product version is another.
  void installMailClient(int major, bool withVersion = true) {
    const std::string programFiles =
        windows_ == Windows::Ten64 ? "Program Files (x86)" : "Program Files";
    const std::string fileVersion = std::to_string(major) + ",0,8117,416";
    const std::string productVersion = std::to_string(major + 1) + ",5,0,0";
    ASSERT_TRUE(MingwPe::build(prefix_->onDriveC("build"),
                               prefix_->onDriveC(programFiles + "/Windows Live/Mail/wlmail.exe"),
                               PeArch::X86,
                               {withVersion ? fileVersion : "", productVersion, false}));
  }

  // Runs the start-up location; the read adds `rowsRead_` rows.
  void Run() {
    view_ = std::make_unique<platform::WinePrefixView>(
        platform::WinePrefixLocation{prefix_->rootFolder(), "bob"});
    location_ = std::make_unique<DatabaseLocation>(*view_);
    location_->Run(*log_, *list_, [this](const std::string& path) {
      reads_.push_back(path);
      log_->Add("read " + path);
      list_->BeginUpdate();
      for (int i = 0; i < rowsRead_; ++i) corvadex::testing::addCaptionRow(*list_, "contact");
      list_->EndUpdate();
    });
  }

  std::unique_ptr<TestPrefix> prefix_;
  Windows windows_ = Windows::Seven;
  std::unique_ptr<LineLog> log_;
  std::unique_ptr<ContactList> list_;
  std::unique_ptr<platform::WinePrefixView> view_;
  std::unique_ptr<DatabaseLocation> location_;
  Lines reads_;
  int rowsRead_ = 2;
};

TEST_F(DatabaseLocationTest, OldVersionsAreNamedAndNotRead) {
  for (int version : {13, 9}) {
    fresh();
    makeWindows(Windows::Seven);
    installMailClient(version);
    Run();
    EXPECT_EQ(log_->Lines(),
              (Lines{"Windows Live Mail version " + std::to_string(version),
                     "Version less than Windows Live Mail 2009 not supported!"}));
    EXPECT_EQ(location_->MailVersion, version);
    EXPECT_EQ(location_->DatabasePath, "");
    EXPECT_TRUE(reads_.empty());
  }
}

TEST_F(DatabaseLocationTest, Version14OnXpUsesNumberedFoldersAndTheRegistryValue) {
  makeWindows(Windows::XP,
              std::string(kDatabaseKey) +
                  "\"C:\\\\users\\\\bob\\\\Contacts\\\\Default\\\\\"=\"a1b2c3\"\n");
  installMailClient(14);
  prefix_->writeFile(
      "users/bob/Local Settings/Application Data/Microsoft/Windows Live Contacts/a1b2c3/DBStore/"
      "contacts.edb");
  Run();
  const std::string path =
      "C:\\users\\bob\\Local Settings\\Application Data\\Microsoft\\Windows Live "
      "Contacts\\a1b2c3\\DBStore\\contacts.edb";
  EXPECT_EQ(log_->Lines(),
            (Lines{"Windows Live Mail version 14", "Database File: " + path, "read " + path}));
  EXPECT_EQ(location_->MailVersion, 14);
  EXPECT_EQ(location_->DatabasePath, path);
  EXPECT_EQ(reads_, Lines{path});
  EXPECT_EQ(list_->selected(), std::optional<std::size_t>(0));
}

TEST_F(DatabaseLocationTest, Version14WithoutTheRegistryValue) {
  for (Windows windows : {Windows::XP, Windows::Seven}) {
    fresh();
    makeWindows(windows, std::string(kDatabaseKey) + "\"Other\"=\"x\"\n");
    installMailClient(14);
    Run();
    Lines expected{"Windows Live Mail version 14"};
    std::string localAppData = "C:\\users\\bob\\Local Settings\\Application Data";
    if (windows == Windows::Seven) {
      localAppData = "C:\\users\\bob\\AppData\\Local";
      expected.insert(expected.end(), {localAppData, "C:\\Program Files", "C:\\users\\bob"});
    }
    // The missing store name leaves two backslashes in a row.
    const std::string path =
        localAppData + "\\Microsoft\\Windows Live Contacts\\\\DBStore\\contacts.edb";
    expected.insert(expected.end(),
                    {"Database File: " + path, "ERROR DatabaseFilePath not Exists"});
    EXPECT_EQ(log_->Lines(), expected);
    EXPECT_EQ(location_->DatabasePath, path);
    EXPECT_TRUE(reads_.empty());
    EXPECT_EQ(list_->selected(), std::nullopt);
  }
}

TEST_F(DatabaseLocationTest, Version14OnWindows10UsesKnownFoldersAndExpandableText) {
  makeWindows(Windows::Ten64, std::string(kDatabaseKey) +
                                  "\"C:\\\\users\\\\bob\\\\Contacts\\\\Default\\\\\"=str(2):"
                                  "\"%STORE%\"\n");
  installMailClient(14);
  Run();
  const std::string path =
      "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows Live "
      "Contacts\\%STORE%\\DBStore\\contacts.edb";  // not expanded
  EXPECT_EQ(log_->Lines(),
            (Lines{"Windows Live Mail version 14", "C:\\users\\bob\\AppData\\Local",
                   "C:\\Program Files (x86)", "C:\\users\\bob", "Database File: " + path,
                   "ERROR DatabaseFilePath not Exists"}));
}

TEST_F(DatabaseLocationTest, ARegistryValueThatIsNotTextIsAnError) {
  makeWindows(Windows::Seven, std::string(kDatabaseKey) +
                                  "\"C:\\\\users\\\\bob\\\\Contacts\\\\Default\\\\\"=dword:"
                                  "00000001\n");
  installMailClient(14);
  try {
    Run();
    FAIL() << "no error";
  } catch (const RegistryTypeError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'C:\\users\\bob\\Contacts\\Default\\'");
  }
  // The lines before the error stay; nothing after it happens.
  EXPECT_EQ(log_->Lines(), (Lines{"Windows Live Mail version 14", "C:\\users\\bob\\AppData\\Local",
                                 "C:\\Program Files", "C:\\users\\bob"}));
  EXPECT_EQ(location_->MailVersion, 14);
  EXPECT_EQ(location_->DatabasePath, "");
  EXPECT_TRUE(reads_.empty());
}

TEST_F(DatabaseLocationTest, AnEmptyValueOfAnyTypeIsEmptyText) {
  makeWindows(Windows::XP, std::string(kDatabaseKey) +
                               "\"C:\\\\users\\\\bob\\\\Contacts\\\\Default\\\\\"=hex:\n");
  installMailClient(14);
  Run();
  EXPECT_EQ(location_->DatabasePath,
            "C:\\users\\bob\\Local Settings\\Application Data\\Microsoft\\Windows Live "
            "Contacts\\\\DBStore\\contacts.edb");
}

TEST_F(DatabaseLocationTest, Version15LogsFoldersButBuildsOnTheNumberedFolder) {
  makeWindows(Windows::Ten64);
  installMailClient(15);
  prefix_->writeFile(
      "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/15.4/DBStore/contacts.edb");
  Run();
  const std::string path =
      "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows "
      "Live\\Contacts\\default\\15.4\\DBStore\\contacts.edb";
  EXPECT_EQ(log_->Lines(),
            (Lines{"Windows Live Mail version 15", "C:\\users\\bob\\AppData\\Local",
                   "C:\\Program Files (x86)", "C:\\users\\bob", "Database File: " + path,
                   "read " + path}));
  EXPECT_EQ(location_->MailVersion, 15);  // the file version, not the product version 16
  EXPECT_EQ(list_->selected(), std::optional<std::size_t>(0));
}

TEST_F(DatabaseLocationTest, Version15OnXpLogsNoFolders) {
  makeWindows(Windows::XP);
  installMailClient(15);
  Run();
  EXPECT_EQ(log_->Lines(),
            (Lines{"Windows Live Mail version 15",
                   "Database File: C:\\users\\bob\\Local Settings\\Application "
                   "Data\\Microsoft\\Windows Live\\Contacts\\default\\15.4\\DBStore\\contacts.edb",
                   "ERROR DatabaseFilePath not Exists"}));
}

TEST_F(DatabaseLocationTest, Versions16AndLaterShareOnePath) {
  for (int version : {16, 17}) {
    fresh();
    makeWindows(Windows::Seven);
    installMailClient(version);
    prefix_->writeFile(
        "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/"
        "contacts.edb");
    Run();
    const std::string path =
        "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows "
        "Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb";
    EXPECT_EQ(log_->Lines(),
              (Lines{"Windows Live Mail version " + std::to_string(version),
                     "C:\\users\\bob\\AppData\\Local", "C:\\Program Files", "C:\\users\\bob",
                     "Database File: " + path, "read " + path}));
    EXPECT_EQ(reads_, Lines{path});
  }
}

TEST_F(DatabaseLocationTest, APathInAnotherLetterCaseIsFound) {
  makeWindows(Windows::Seven);
  installMailClient(16);
  std::filesystem::remove_all(prefix_->onDriveC("users"));
  prefix_->writeFile(
      "USERS/Bob/appdata/LOCAL/microsoft/WINDOWS LIVE/contacts/Default/15.5/dbstore/"
      "CONTACTS.EDB");
  Run();
  ASSERT_EQ(reads_.size(), 1u);
  EXPECT_EQ(reads_[0],
            "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows "
            "Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb");
}

TEST_F(DatabaseLocationTest, AMissingKnownFolderGivesAnEmptyLine) {
  makeWindows(Windows::Seven);
  installMailClient(16);
  std::filesystem::remove_all(prefix_->onDriveC("users/bob/AppData"));
  Run();
  EXPECT_EQ(log_->Lines(),
            (Lines{"Windows Live Mail version 16", "", "C:\\Program Files", "C:\\users\\bob",
                   "Database File: \\Microsoft\\Windows "
                   "Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb",
                   "ERROR DatabaseFilePath not Exists"}));
}

TEST_F(DatabaseLocationTest, NoMailClientIsAConversionErrorBeforeAnyLine) {
  for (bool installedWithoutVersion : {false, true}) {
    fresh();
    makeWindows(Windows::Seven);
    if (installedWithoutVersion) installMailClient(16, /*withVersion=*/false);
    try {
      Run();
      FAIL() << "no error";
    } catch (const NotAnIntegerError& e) {
      EXPECT_STREQ(e.what(), "'' is not a valid integer value.");
    }
    EXPECT_TRUE(log_->Lines().empty());
    EXPECT_EQ(location_->MailVersion, 0);
    EXPECT_EQ(location_->DatabasePath, "");
    EXPECT_TRUE(reads_.empty());
  }
}

TEST_F(DatabaseLocationTest, AnEmptyContactTableSelectsNothing) {
  makeWindows(Windows::Seven);
  installMailClient(16);
  prefix_->writeFile(
      "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/contacts.edb");
  rowsRead_ = 0;
  Run();
  EXPECT_EQ(reads_.size(), 1u);
  EXPECT_EQ(list_->selected(), std::nullopt);
}

TEST_F(DatabaseLocationTest, VersionProbeReadsTheProgramFilesOfTheWindowsRelease) {
  // On XP the numbered folder is asked, later the known one; both answer the
  // same place, and a 64-bit prefix answers the 32-bit program files.
  makeWindows(Windows::Ten64);
  installMailClient(16);
  const platform::WinePrefixView view({prefix_->rootFolder(), "bob"});
  EXPECT_EQ(GetMailClientVersion(view), "16");
  std::filesystem::rename(prefix_->onDriveC("Program Files (x86)"),
                          prefix_->onDriveC("Elsewhere"));
  EXPECT_EQ(GetMailClientVersion(view), "");
}

}  // namespace
}  // namespace corvadex
