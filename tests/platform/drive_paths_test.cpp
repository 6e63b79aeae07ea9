// SPDX-License-Identifier: Apache-2.0
#include "platform/drive_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ese/forwarding_jet.h"
#include "ese/path_mapping_jet.h"
#include "platform/test_prefix.h"

namespace corvadex::platform {
namespace {

using corvadex::testing::TestPrefix;

class DrivePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_.writeFile("users/Bob/AppData/Local/Store/Contacts.edb");
    prefix_.makeFolder("Program Files/Windows Live");
  }
  TestPrefix prefix_;
  DrivePaths paths_{prefix_.rootFolder() + "/dosdevices"};
  // The mapping the programs hand the engine.
  ese::PathMapping hostPaths() const {
    return [this](std::string_view path) { return paths_.toHost(path); };
  }
};

TEST_F(DrivePathsTest, FindsNamesWhateverTheirLetterCase) {
  const std::string file = "C:\\USERS\\bob\\appdata\\LOCAL\\store\\CONTACTS.EDB";
  EXPECT_TRUE(paths_.fileExists(file));
  EXPECT_EQ(paths_.toHost(file),
            prefix_.rootFolder() + "/dosdevices/c:/users/Bob/AppData/Local/Store/Contacts.edb");
  EXPECT_TRUE(paths_.fileExists("c:/users/bob/appdata/local/store/contacts.edb"));
  EXPECT_TRUE(paths_.folderExists("C:\\program files\\windows live"));
}

TEST_F(DrivePathsTest, ResolvesDotsAndRepeatedSeparatorsByName) {
  EXPECT_TRUE(paths_.fileExists("C:\\users\\bob\\.\\AppData\\Local\\\\Store\\contacts.edb"));
  EXPECT_TRUE(paths_.fileExists("C:\\users\\nobody\\..\\bob\\AppData\\Local\\Store\\contacts.edb"));
  EXPECT_TRUE(paths_.folderExists("C:\\..\\..\\users"));  // never above the drive's root
  // One leading backslash: the root of the current drive, C:.
  EXPECT_TRUE(paths_.fileExists("\\users\\bob\\AppData\\Local\\Store\\contacts.edb"));
}

TEST_F(DrivePathsTest, ExistenceTellsFilesFromFolders) {
  EXPECT_FALSE(paths_.fileExists("C:\\users\\bob\\AppData"));
  EXPECT_TRUE(paths_.folderExists("C:\\users\\bob\\AppData"));
  EXPECT_FALSE(paths_.folderExists("C:\\users\\bob\\AppData\\Local\\Store\\contacts.edb"));
  EXPECT_FALSE(paths_.fileExists("C:\\users\\bob\\AppData\\Local\\Store\\missing.edb"));
  EXPECT_FALSE(paths_.fileExists("D:\\contacts.edb"));  // no such drive
  EXPECT_FALSE(paths_.fileExists(""));
  EXPECT_FALSE(paths_.fileExists("\\\\server\\share\\contacts.edb"));
  EXPECT_EQ(paths_.toHost("\\\\server\\share\\contacts.edb"), std::nullopt);
}

TEST_F(DrivePathsTest, MissingNamesAreKeptAsGiven) {
  EXPECT_EQ(paths_.toHost("C:\\Users\\Bob\\New Folder\\X.edb"),
            prefix_.rootFolder() + "/dosdevices/c:/users/Bob/New Folder/X.edb");
}

TEST_F(DrivePathsTest, PrefersTheExactNameWhenCaseAloneDiffers) {
  prefix_.writeFile("data/a.edb");
  prefix_.writeFile("Data/b.edb");
  EXPECT_TRUE(paths_.fileExists("C:\\Data\\b.edb"));
  EXPECT_TRUE(paths_.fileExists("C:\\data\\a.edb"));
}

TEST_F(DrivePathsTest, LinuxPathsPassUnchanged) {
  const std::string linux = (prefix_.onDriveC("users/Bob/AppData/Local/Store/Contacts.edb")).string();
  EXPECT_EQ(paths_.toHost(linux), linux);
  EXPECT_TRUE(paths_.fileExists(linux));
  EXPECT_EQ(paths_.toHost("relative/name.edb"), "relative/name.edb");
}

// Records the names the engine is given; every call it does not take a
// name in refuses.
class RecordingJet final : public ese::ForwardingJet {
 public:
  static constexpr ese::JET_ERR kRefused = ese::JET_errNotInitialized;
  RecordingJet() : ForwardingJet(kRefused) {}
  std::vector<std::string> names;

  ese::JET_ERR getDatabaseFileInfo(const char* name, void*, std::uint32_t, std::uint32_t) override {
    return record(name, 1);
  }
  ese::JET_ERR createInstance(ese::JET_INSTANCE*, const char* name) override { return record(name, 4); }
  ese::JET_ERR attachDatabase(ese::JET_SESID, const char* name, ese::JET_GRBIT) override {
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
      prefix_.rootFolder() + "/dosdevices/c:/users/Bob/AppData/Local/Store/Contacts.edb";
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
    ese::PathMappingJet jet(engine, hostPaths());
    std::uint32_t pageSize = 0;
    ese::JET_DBID dbid = 0;
    EXPECT_EQ(jet.getDatabaseFileInfo(c.given, &pageSize, 4, ese::JET_DbInfoPageSize), 1);
    EXPECT_EQ(jet.attachDatabase(0, c.given, ese::JET_bitDbReadOnly), 7);
    EXPECT_EQ(jet.OpenDatabase(0, c.given, "", &dbid, ese::JET_bitDbReadOnly), 8);
    EXPECT_EQ(engine.names, std::vector<std::string>(3, c.opened)) << c.opened;
  }
  // Names that are not paths go through untouched, results come back as given.
  RecordingJet engine;
  ese::PathMappingJet jet(engine, hostPaths());
  ese::JET_INSTANCE instance = 0;
  EXPECT_EQ(jet.createInstance(&instance, "C:\\instance"), 4);
  EXPECT_EQ(jet.OpenTable(0, 0, "SimpleContact-x", nullptr, 0, 0, nullptr), 9);
  EXPECT_EQ(jet.term(0), RecordingJet::kRefused);
  EXPECT_EQ(jet.move(0, 0, ese::JET_MoveNext, 0), RecordingJet::kRefused);
  EXPECT_EQ(engine.names, (std::vector<std::string>{"C:\\instance", "SimpleContact-x"}));
}

}  // namespace
}  // namespace corvadex::platform
