// SPDX-License-Identifier: Apache-2.0
#include "platform/drive_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/drive_path_jet.h"
#include "platform/test_prefix.h"

namespace corvadex::platform {
namespace {

using corvadex::testing::TestPrefix;

class DrivePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_.WriteFile("users/Bob/AppData/Local/Store/Contacts.edb");
    prefix_.MakeFolder("Program Files/Windows Live");
  }
  TestPrefix prefix_;
  DrivePaths paths_{prefix_.Root() + "/dosdevices"};
};

TEST_F(DrivePathsTest, FindsNamesWhateverTheirLetterCase) {
  const std::string file = "C:\\USERS\\bob\\appdata\\LOCAL\\store\\CONTACTS.EDB";
  EXPECT_TRUE(paths_.FileExists(file));
  EXPECT_EQ(paths_.ToHost(file),
            prefix_.Root() + "/dosdevices/c:/users/Bob/AppData/Local/Store/Contacts.edb");
  EXPECT_TRUE(paths_.FileExists("c:/users/bob/appdata/local/store/contacts.edb"));
  EXPECT_TRUE(paths_.FolderExists("C:\\program files\\windows live"));
}

TEST_F(DrivePathsTest, ResolvesDotsAndRepeatedSeparatorsByName) {
  EXPECT_TRUE(paths_.FileExists("C:\\users\\bob\\.\\AppData\\Local\\\\Store\\contacts.edb"));
  EXPECT_TRUE(paths_.FileExists("C:\\users\\nobody\\..\\bob\\AppData\\Local\\Store\\contacts.edb"));
  EXPECT_TRUE(paths_.FolderExists("C:\\..\\..\\users"));  // never above the drive's root
  // One leading backslash: the root of the current drive, C:.
  EXPECT_TRUE(paths_.FileExists("\\users\\bob\\AppData\\Local\\Store\\contacts.edb"));
}

TEST_F(DrivePathsTest, ExistenceTellsFilesFromFolders) {
  EXPECT_FALSE(paths_.FileExists("C:\\users\\bob\\AppData"));
  EXPECT_TRUE(paths_.FolderExists("C:\\users\\bob\\AppData"));
  EXPECT_FALSE(paths_.FolderExists("C:\\users\\bob\\AppData\\Local\\Store\\contacts.edb"));
  EXPECT_FALSE(paths_.FileExists("C:\\users\\bob\\AppData\\Local\\Store\\missing.edb"));
  EXPECT_FALSE(paths_.FileExists("D:\\contacts.edb"));  // no such drive
  EXPECT_FALSE(paths_.FileExists(""));
  EXPECT_FALSE(paths_.FileExists("\\\\server\\share\\contacts.edb"));
  EXPECT_EQ(paths_.ToHost("\\\\server\\share\\contacts.edb"), std::nullopt);
}

TEST_F(DrivePathsTest, MissingNamesAreKeptAsGiven) {
  EXPECT_EQ(paths_.ToHost("C:\\Users\\Bob\\New Folder\\X.edb"),
            prefix_.Root() + "/dosdevices/c:/users/Bob/New Folder/X.edb");
}

TEST_F(DrivePathsTest, PrefersTheExactNameWhenCaseAloneDiffers) {
  prefix_.WriteFile("data/a.edb");
  prefix_.WriteFile("Data/b.edb");
  EXPECT_TRUE(paths_.FileExists("C:\\Data\\b.edb"));
  EXPECT_TRUE(paths_.FileExists("C:\\data\\a.edb"));
}

TEST_F(DrivePathsTest, LinuxPathsPassUnchanged) {
  const std::string linux = (prefix_.OnDriveC("users/Bob/AppData/Local/Store/Contacts.edb")).string();
  EXPECT_EQ(paths_.ToHost(linux), linux);
  EXPECT_TRUE(paths_.FileExists(linux));
  EXPECT_EQ(paths_.ToHost("relative/name.edb"), "relative/name.edb");
}

// Records the names the engine is given.
class RecordingJet final : public ese::JetApi {
 public:
  std::vector<std::string> names;
  ese::JET_ERR GetDatabaseFileInfo(const char* name, void*, std::uint32_t, std::uint32_t) override {
    names.emplace_back(name);
    return 1;
  }
  ese::JET_ERR SetSystemParameter(ese::JET_INSTANCE*, ese::JET_SESID, std::uint32_t,
                                  ese::JET_API_PTR, const char* text) override {
    names.emplace_back(text);
    return 2;
  }
  ese::JET_ERR GetSystemParameter(ese::JET_INSTANCE, ese::JET_SESID, std::uint32_t,
                                  ese::JET_API_PTR*, char*, std::uint32_t) override {
    return 3;
  }
  ese::JET_ERR CreateInstance(ese::JET_INSTANCE*, const char* name) override {
    names.emplace_back(name);
    return 4;
  }
  ese::JET_ERR Init(ese::JET_INSTANCE*) override { return 5; }
  ese::JET_ERR BeginSession(ese::JET_INSTANCE, ese::JET_SESID*, const char*,
                            const char*) override {
    return 6;
  }
  ese::JET_ERR AttachDatabase(ese::JET_SESID, const char* name, ese::JET_GRBIT) override {
    names.emplace_back(name);
    return 7;
  }
  ese::JET_ERR OpenDatabase(ese::JET_SESID, const char* name, const char*, ese::JET_DBID*,
                            ese::JET_GRBIT) override {
    names.emplace_back(name);
    return 8;
  }
  ese::JET_ERR OpenTable(ese::JET_SESID, ese::JET_DBID, const char* name, const void*,
                         std::uint32_t, ese::JET_GRBIT, ese::JET_TABLEID*) override {
    names.emplace_back(name);
    return 9;
  }
  ese::JET_ERR GetTableColumnInfo(ese::JET_SESID, ese::JET_TABLEID, const char* name, void*,
                                  std::uint32_t, std::uint32_t) override {
    names.emplace_back(name);
    return 10;
  }
  ese::JET_ERR Move(ese::JET_SESID, ese::JET_TABLEID, std::int32_t, ese::JET_GRBIT) override {
    return 11;
  }
  ese::JET_ERR RetrieveColumn(ese::JET_SESID, ese::JET_TABLEID, ese::JET_COLUMNID, void*,
                              std::uint32_t, std::uint32_t*, ese::JET_GRBIT,
                              ese::JET_RETINFO*) override {
    return 12;
  }
  ese::JET_ERR GetBookmark(ese::JET_SESID, ese::JET_TABLEID, void*, std::uint32_t,
                           std::uint32_t*) override {
    return 15;
  }
  ese::JET_ERR CloseTable(ese::JET_SESID, ese::JET_TABLEID) override { return 13; }
  ese::JET_ERR Term(ese::JET_INSTANCE) override { return 14; }
};

TEST_F(DrivePathsTest, EngineOpensWindowsPathsInsideThePrefix) {
  RecordingJet engine;
  DrivePathJet jet(engine, paths_);
  const std::string windows = "C:\\Users\\BOB\\AppData\\Local\\Store\\contacts.edb";
  const std::string host =
      prefix_.Root() + "/dosdevices/c:/users/Bob/AppData/Local/Store/Contacts.edb";
  std::uint32_t pageSize = 0;
  ese::JET_DBID dbid = 0;
  ese::JET_INSTANCE instance = 0;
  EXPECT_EQ(jet.GetDatabaseFileInfo(windows.c_str(), &pageSize, 4, ese::JET_DbInfoPageSize), 1);
  EXPECT_EQ(jet.AttachDatabase(0, windows.c_str(), ese::JET_bitDbReadOnly), 7);
  EXPECT_EQ(jet.OpenDatabase(0, windows.c_str(), "", &dbid, ese::JET_bitDbReadOnly), 8);
  // Names that are not paths go through untouched, results come back as given.
  EXPECT_EQ(jet.CreateInstance(&instance, "C:\\instance"), 4);
  EXPECT_EQ(jet.OpenTable(0, 0, "SimpleContact-x", nullptr, 0, 0, nullptr), 9);
  EXPECT_EQ(jet.Term(0), 14);
  EXPECT_EQ(engine.names,
            (std::vector<std::string>{host, host, host, "C:\\instance", "SimpleContact-x"}));
}

}  // namespace
}  // namespace corvadex::platform
