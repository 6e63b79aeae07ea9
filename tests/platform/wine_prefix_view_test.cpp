// SPDX-License-Identifier: Apache-2.0
#include "platform/wine_prefix_view.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/mingw_pe.h"
#include "platform/test_prefix.h"

namespace corvadex::platform {
namespace {

using corvadex::testing::TestPrefix;

constexpr const char* kNtVersionKey =
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]\n";

TEST(WinePrefixView, WindowsVersionFollowsWhatThePrefixRecords) {
  struct Case {
    const char* system;
    const char* user;
    int major;
  };
  const Case cases[] = {
      {"\"CurrentVersion\"=\"5.1\"\n", "", 5},
      {"\"CurrentVersion\"=\"6.1\"\n", "", 6},
      {"\"CurrentMajorVersionNumber\"=dword:0000000a\n\"CurrentVersion\"=\"6.3\"\n", "", 10},
      // Wine's own setting, as winecfg keeps it, comes first.
      {"\"CurrentVersion\"=\"6.1\"\n", "[Software\\\\Wine]\n\"Version\"=\"winxp\"\n", 5},
      {"\"CurrentVersion\"=\"5.1\"\n", "[Software\\\\Wine]\n\"Version\"=\"win7\"\n", 6},
      {"\"CurrentVersion\"=\"5.1\"\n", "[Software\\\\Wine]\n\"Version\"=\"nonsense\"\n", 5},
      // Nothing recorded: what Wine gives a new prefix.
      {"", "", 10},
  };
  for (const Case& c : cases) {
    TestPrefix prefix;
    prefix.writeSystemReg(std::string(kNtVersionKey) + c.system);
    prefix.writeUserReg(c.user);
    const WinePrefixView view({prefix.rootFolder(), "bob"});
    EXPECT_EQ(view.windowsMajorVersion(), c.major) << c.system << c.user;
  }
}

class WinePrefixFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_.makeFolder("Program Files");
    prefix_.makeFolder("Program Files (x86)");
    prefix_.makeFolder("users/bob/AppData/Local");
    prefix_.makeFolder("users/bob/Local Settings/Application Data");
  }
  TestPrefix prefix_;
};

TEST_F(WinePrefixFolders, StandardLayoutOfA32BitPrefix) {
  prefix_.writeSystemReg("");
  prefix_.writeUserReg("");
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  EXPECT_EQ(view.knownFolderPath(FOLDERID_ProgramFiles), "C:\\Program Files");
  EXPECT_EQ(view.knownFolderPath(FOLDERID_Profile), "C:\\users\\bob");
  EXPECT_EQ(view.knownFolderPath(FOLDERID_LocalAppData), "C:\\users\\bob\\AppData\\Local");
  EXPECT_EQ(view.specialFolderPath(CSIDL_PROGRAM_FILES), "C:\\Program Files");
  EXPECT_EQ(view.specialFolderPath(CSIDL_PROFILE), "C:\\users\\bob");
  EXPECT_EQ(view.specialFolderPath(CSIDL_LOCAL_APPDATA), "C:\\users\\bob\\AppData\\Local");
  EXPECT_EQ(view.specialFolderPath(5), std::nullopt);  // a folder this view does not know
  const KNOWNFOLDERID other{0x12345678, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(view.knownFolderPath(other), std::nullopt);
}

TEST_F(WinePrefixFolders, A64BitPrefixGivesThe32BitProgramFiles) {
  prefix_.writeSystemReg("", /*win64=*/true);
  prefix_.writeUserReg("", true);
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  EXPECT_EQ(view.knownFolderPath(FOLDERID_ProgramFiles), "C:\\Program Files (x86)");
  EXPECT_EQ(view.specialFolderPath(CSIDL_PROGRAM_FILES), "C:\\Program Files (x86)");
}

TEST_F(WinePrefixFolders, RecordedFoldersWinOverTheStandardLayout) {
  prefix_.makeFolder("Apps32");
  prefix_.makeFolder("Profiles/Robert");
  prefix_.writeSystemReg(
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion]\n"
      "\"ProgramFilesDir\"=\"C:\\\\Apps64\"\n"
      "\"ProgramFilesDir (x86)\"=str(2):\"%SystemDrive%\\\\Apps32\"\n"
      "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList\\\\"
      "S-1-5-21-0-0-0-1000]\n"
      "\"ProfileImagePath\"=str(2):\"%SystemDrive%\\\\Profiles\\\\Robert\"\n",
      true);
  prefix_.writeUserReg(
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]\n"
      "\"Local AppData\"=\"C:\\\\users\\\\bob\\\\Local Settings\\\\Application Data\"\n",
      true);
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  EXPECT_EQ(view.knownFolderPath(FOLDERID_ProgramFiles), "C:\\Apps32");
  EXPECT_EQ(view.knownFolderPath(FOLDERID_Profile), "C:\\Profiles\\Robert");
  EXPECT_EQ(view.specialFolderPath(CSIDL_LOCAL_APPDATA),
            "C:\\users\\bob\\Local Settings\\Application Data");
}

TEST_F(WinePrefixFolders, UnexpandedUserShellFoldersAreExpanded) {
  prefix_.writeSystemReg("");
  prefix_.writeUserReg(
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders]\n"
      "\"Local AppData\"=str(2):\"%USERPROFILE%\\\\Local Settings\\\\Application Data\"\n");
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  EXPECT_EQ(view.knownFolderPath(FOLDERID_LocalAppData),
            "C:\\users\\bob\\Local Settings\\Application Data");
}

TEST_F(WinePrefixFolders, AFolderThePrefixLacksIsNone) {
  prefix_.writeSystemReg("");
  prefix_.writeUserReg("");
  std::filesystem::remove_all(prefix_.onDriveC("users/bob/AppData"));
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  EXPECT_EQ(view.knownFolderPath(FOLDERID_LocalAppData), std::nullopt);
  EXPECT_EQ(view.specialFolderPath(CSIDL_LOCAL_APPDATA), std::nullopt);
  EXPECT_EQ(view.knownFolderPath(FOLDERID_Profile), "C:\\users\\bob");

  const WinePrefixView stranger({prefix_.rootFolder(), "alice"});
  EXPECT_EQ(stranger.knownFolderPath(FOLDERID_Profile), std::nullopt);
  // No registry files at all: nothing breaks, the folders still answer.
  TestPrefix bare;
  bare.makeFolder("Program Files");
  const WinePrefixView bareView({bare.rootFolder(), "bob"});
  EXPECT_EQ(bareView.knownFolderPath(FOLDERID_ProgramFiles), "C:\\Program Files");
  EXPECT_EQ(bareView.currentUserValue("Software", "x"), std::nullopt);
}

TEST_F(WinePrefixFolders, CurrentUserValuesKeepTheirType) {
  prefix_.writeSystemReg("");
  prefix_.writeUserReg(
      "[Software\\\\Microsoft\\\\Windows Live Contacts\\\\Database]\n"
      "\"C:\\\\users\\\\bob\\\\Contacts\\\\Default\\\\\"=\"abc\"\n"
      "\"Number\"=dword:00000010\n");
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  const char* key = "Software\\Microsoft\\Windows Live Contacts\\Database";
  auto text = view.currentUserValue(key, "C:\\users\\bob\\Contacts\\Default\\");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->type, REG_SZ);
  EXPECT_EQ(registryText(*text), "abc");
  auto number = view.currentUserValue(key, "number");
  ASSERT_TRUE(number.has_value());
  EXPECT_EQ(number->type, REG_DWORD);
  EXPECT_EQ(view.currentUserValue(key, "Missing"), std::nullopt);
}

TEST_F(WinePrefixFolders, VersionsOfExecutablesFoundThroughWindowsPaths) {
  if (auto missing = corvadex::testing::MingwPe::missingTools(); !missing.empty()) {
    GTEST_SKIP() << missing;
  }
  prefix_.writeSystemReg("");
  prefix_.writeUserReg("");
  ASSERT_TRUE(corvadex::testing::MingwPe::build(
      prefix_.onDriveC("tmp"), prefix_.onDriveC("Program Files/Tool/Tool.exe"),
      corvadex::testing::PeArch::X86, {"3,1,0,0", "9,0,0,0", false}));
  const WinePrefixView view({prefix_.rootFolder(), "bob"});
  auto info = view.fileVersion("C:\\PROGRAM FILES\\tool\\TOOL.EXE");
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->dwFileVersionMS >> 16, 3u);
  EXPECT_TRUE(view.fileExists("c:\\program files\\tool\\tool.exe"));
  EXPECT_FALSE(view.fileExists("C:\\Program Files\\Tool"));
  EXPECT_EQ(view.fileVersion("C:\\Program Files\\Tool"), std::nullopt);
  EXPECT_EQ(view.fileVersion("C:\\Program Files\\Tool\\missing.exe"), std::nullopt);
}

TEST(WinePrefixFromEnvironment, UsesWineprefixElseHomeDotWine) {
  const char* saved = std::getenv("WINEPREFIX");
  const std::string savedValue = saved != nullptr ? saved : "";
  ::setenv("WINEPREFIX", "/somewhere/prefix", 1);
  EXPECT_EQ(winePrefixFromEnvironment().prefix, "/somewhere/prefix");
  ::unsetenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    EXPECT_EQ(winePrefixFromEnvironment().prefix, std::string(home) + "/.wine");
  }
  if (saved != nullptr) ::setenv("WINEPREFIX", savedValue.c_str(), 1);
}

}  // namespace
}  // namespace corvadex::platform
