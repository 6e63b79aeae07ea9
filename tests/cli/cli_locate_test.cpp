// SPDX-License-Identifier: Apache-2.0
// corvadex-cli locate run as a user runs it, on Wine prefixes built here.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "contacts_database.h"
#include "location/volume_tree.h"
#include "platform/mingw_pe.h"
#include "platform/test_prefix.h"
#include "run_program.h"

namespace corvadex {
namespace {

using corvadex::testing::MingwPe;
using corvadex::testing::PeArch;
using corvadex::testing::TestPrefix;

struct RunResult {
  int status;
  std::vector<std::string> out;
  std::vector<std::string> err;
};

std::vector<std::string> linesOf(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs `corvadex-cli locate` with these arguments, the environment changed
// by the settings given ("NAME=value").
RunResult locate(const std::vector<std::string>& settings, const std::vector<std::string>& args) {
  std::vector<std::string> argv{"/usr/bin/env"};
  argv.insert(argv.end(), settings.begin(), settings.end());
  argv.insert(argv.end(), {test::kCli, "locate"});
  argv.insert(argv.end(), args.begin(), args.end());
  const test::RunResult ran = test::Run(argv);
  return {ran.exitCode, linesOf(ran.out), linesOf(ran.err)};
}

class CliLocateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (auto missing = MingwPe::missingTools(); !missing.empty()) GTEST_SKIP() << missing;
    prefix_.writeSystemReg(
        "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]\n\"CurrentVersion\"=\"6.1\"\n");
    prefix_.makeFolder("users/bob/AppData/Local");
    prefix_.makeFolder("Program Files");
  }

  void installMailClient(const std::string& fileVersion) {
    ASSERT_TRUE(MingwPe::build(prefix_.onDriveC("build"),
                               prefix_.onDriveC("Program Files/Windows Live/Mail/wlmail.exe"),
                               PeArch::X86, {fileVersion, "1,2,3,4", false}));
  }

  RunResult Run(const std::vector<std::string>& args = {}) {
    return locate({"WINEPREFIX=" + prefix_.rootFolder(), "USER=bob"}, args);
  }

  TestPrefix prefix_;
};

TEST_F(CliLocateTest, ReadsTheDatabaseOfTheMailClient) {
  prefix_.writeUserReg("");
  installMailClient("15,4,3508,205");
  const std::string database =
      "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/15.4/DBStore/contacts.edb";
  prefix_.makeFolder(std::filesystem::path(database).parent_path().string());
  esew::ContactsDatabaseOptions options;
  options.count = 5;
  ASSERT_EQ(esew::writeContactsDatabase(prefix_.onDriveC(database).string(), options), "");

  const RunResult result = Run();
  EXPECT_EQ(result.status, 0);
  ASSERT_GE(result.err.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(result.err.begin(), result.err.begin() + 5),
            (std::vector<std::string>{
                "Windows Live Mail version 15", "C:\\users\\bob\\AppData\\Local",
                "C:\\Program Files", "C:\\users\\bob",
                "Database File: C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows "
                "Live\\Contacts\\default\\15.4\\DBStore\\contacts.edb"}));
  // One line per contact, its 33 values separated by tabs.
  ASSERT_EQ(result.out.size(), 5u);
  for (const std::string& line : result.out) {
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 32) << line;
  }
}

TEST_F(CliLocateTest, AMissingDatabaseIsOnlyLogged) {
  prefix_.writeUserReg("");
  installMailClient("17,0,0,0");
  const RunResult result = Run();
  EXPECT_EQ(result.status, 0);
  ASSERT_FALSE(result.err.empty());
  EXPECT_EQ(result.err.back(), "ERROR DatabaseFilePath not Exists");
  EXPECT_TRUE(result.out.empty());
}

TEST_F(CliLocateTest, ErrorsTheWindowWouldReportEndWithStatus1) {
  prefix_.writeUserReg("");
  RunResult result = Run();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, std::vector<std::string>{"'' is not a valid integer value."});
  EXPECT_TRUE(result.out.empty());

  prefix_.writeUserReg(
      "[Software\\\\Microsoft\\\\Windows Live Contacts\\\\Database]\n"
      "\"C:\\\\users\\\\bob\\\\Contacts\\\\Default\\\\\"=hex:01,02\n");
  installMailClient("14,0,8117,416");
  result = Run();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, (std::vector<std::string>{
                            "Windows Live Mail version 14", "C:\\users\\bob\\AppData\\Local",
                            "C:\\Program Files", "C:\\users\\bob",
                            "Invalid data type for 'C:\\users\\bob\\Contacts\\Default\\'"}));
}

// A FIFO in the place of the registry file, the executable or the
// database counts as absent: the command ends, as it does without the entry,
// instead of waiting for a writer for ever.
TEST_F(CliLocateTest, AFifoInPlaceOfAFileCountsAsAbsent) {
  const std::string database =
      "users/bob/AppData/Local/Microsoft/Windows Live/Contacts/default/17.0/DBStore/contacts.edb";
  for (const std::string& entry :
       {std::string("../user.reg"), std::string("Program Files/Windows Live/Mail/wlmail.exe"),
        database}) {
    prefix_.writeUserReg("");
    installMailClient("17,0,0,0");
    prefix_.makeFolder(std::filesystem::path(database).parent_path().string());
    const std::filesystem::path path = prefix_.onDriveC(entry);
    std::filesystem::remove(path);
    const RunResult absent = Run();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    const RunResult fifo = Run();
    EXPECT_EQ(fifo.status, absent.status) << entry;
    EXPECT_EQ(fifo.err, absent.err) << entry;
    std::filesystem::remove(path);
  }
}

TEST_F(CliLocateTest, TakesNoArguments) {
  prefix_.writeUserReg("");
  EXPECT_EQ(Run({"extra"}).status, 2);
}

}  // namespace
}  // namespace corvadex

namespace corvadex {
namespace {

// locate --all and --search: every database listed, nothing read; the Wine
// prefix and the home folder are the test's own.
TEST(CliLocateAll, ListsEveryDatabaseNewestFirstWithItsDetails) {
  const corvadex::testing::VolumeTree tree;
  const std::string k155 =
      "AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/contacts.edb";
  const std::string kXp =
      "Local Settings/Application Data/Microsoft/Windows Live Contacts/abc/DBStore/contacts.edb";
  tree.write("prefix/drive_c/users/bob/" + k155, 1'700'000'000, 10);
  tree.Link("prefix/dosdevices/c:", "../drive_c");
  tree.write("disk copy/Documents and Settings/Joe/" + kXp, 1'200'000'000, 20);
  tree.makeFolder("home");
  tree.makeFolder("empty");
  auto run = [&tree](const std::string& prefix, const std::vector<std::string>& args) {
    const RunResult r =
        locate({"HOME=" + tree.path("home"), "WINEPREFIX=" + tree.path(prefix), "USER=bob"}, args);
    return std::make_pair(r.status, r.out);
  };

  const std::string real = std::filesystem::canonical(tree.path()).string();
  auto [status, lines] = run("prefix", {"--all", "--search", tree.path("disk copy")});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       real + "/prefix/drive_c/users/bob/" + k155 + "\t" + tree.path("prefix") +
                           "\tbob\t15.5\t10\t2023-11-14T22:13:20Z",
                       real + "/disk copy/Documents and Settings/Joe/" + kXp + "\t" +
                           tree.path("disk copy") + "\tJoe\tabc\t20\t2008-01-10T21:20:00Z"}));

  std::tie(status, lines) = run("empty", {"--search", tree.path("empty")});
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(run("empty", {"--search", tree.path("missing")}).first, 2);
  EXPECT_EQ(run("empty", {"--all", "--search"}).first, 2);
}

}  // namespace
}  // namespace corvadex
