// SPDX-License-Identifier: Apache-2.0
#include "platform/drive_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ese/forwarding_jet.h"
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

// Records the names the engine is given; every call it does not take a
// name in refuses.
class RecordingJet final : public ese::ForwardingJet {
 public:
  static constexpr ese::JET_ERR kRefused = ese::JET_errNotInitialized;
  RecordingJet() : ForwardingJet(kRefused) {}
  std::vector<std::string> names;

  ese::JET_ERR GetDatabaseFileInfo(const char* name, void*, std::uint32_t, std::uint32_t) override {
    return record(name, 1);
  }
  ese::JET_ERR CreateInstance(ese::JET_INSTANCE*, const char* name) override { return record(name, 4); }
  ese::JET_ERR AttachDatabase(ese::JET_SESID, const char* name, ese::JET_GRBIT) override {
    return record(name, 7);
  }
  ese::JET_ERR OpenDatabase(ese::JET_SESID, const char* name, const char*, ese::JET_DBID*,
                            ese::JET_GRBIT) override {
    return record(name, 8);
  }
  ese::JET_ERR OpenTable(ese::JET_SESID, ese::JET_DBID, const char* name, const void*, std::uint32_t,
                         ese::JET_GRBIT, ese::JET_TABLEID*) override {
    return record(name, 9);
  }

 private:
  ese::JET_ERR record(const char* name, ese::JET_ERR status) {
    names.emplace_back(name == nullptr ? "(null)" : name);
    return status;
  }
};

TEST_F(DrivePathsTest, EngineOpensWindowsPathsInsideThePrefix) {
  const std::string host =
      prefix_.Root() + "/dosdevices/c:/users/Bob/AppData/Local/Store/Contacts.edb";
  const struct {
    const char* given;
    std::string opened;
  } cases[] = {
      {"C:\\Users\\BOB\\AppData\\Local\\Store\\contacts.edb", host},
      {"\\\\server\\share\\contacts.edb", "\\\\server\\share\\contacts.edb"},  // no Linux counterpart
      {"relative/name.edb", "relative/name.edb"},
      {nullptr, "(null)"},
  };
  for (const auto& c : cases) {
    RecordingJet engine;
    DrivePathJet jet(engine, paths_);
    std::uint32_t pageSize = 0;
    ese::JET_DBID dbid = 0;
    EXPECT_EQ(jet.GetDatabaseFileInfo(c.given, &pageSize, 4, ese::JET_DbInfoPageSize), 1);
    EXPECT_EQ(jet.AttachDatabase(0, c.given, ese::JET_bitDbReadOnly), 7);
    EXPECT_EQ(jet.OpenDatabase(0, c.given, "", &dbid, ese::JET_bitDbReadOnly), 8);
    EXPECT_EQ(engine.names, std::vector<std::string>(3, c.opened)) << c.opened;
  }
  // Names that are not paths go through untouched, results come back as given.
  RecordingJet engine;
  DrivePathJet jet(engine, paths_);
  ese::JET_INSTANCE instance = 0;
  EXPECT_EQ(jet.CreateInstance(&instance, "C:\\instance"), 4);
  EXPECT_EQ(jet.OpenTable(0, 0, "SimpleContact-x", nullptr, 0, 0, nullptr), 9);
  EXPECT_EQ(jet.Term(0), RecordingJet::kRefused);
  EXPECT_EQ(jet.Move(0, 0, ese::JET_MoveNext, 0), RecordingJet::kRefused);
  EXPECT_EQ(engine.names, (std::vector<std::string>{"C:\\instance", "SimpleContact-x"}));
}

}  // namespace
}  // namespace corvadex::platform
