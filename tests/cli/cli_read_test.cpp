// SPDX-License-Identifier: Apache-2.0
// corvadex-cli read: usage, missing files, and the streams of a read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "file_io.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace corvadex {
namespace {

using testing::dataFile;
using testing::eseSample;
using testing::readFile;
using testing::sampleFile;

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Runs corvadex-cli with the given (shell-quoted) arguments.
Result runCli(const std::string& args) {
  const TempFolder dir;
  const std::string command = std::string(CORVADEX_BIN_DIR) + "/corvadex-cli " + args + " >" +
                              dir.File("out") + " 2>" + dir.File("err");
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir.File("out")), readFile(dir.File("err"))};
}

TEST(CliRead, BadUsageExitsWith2) {
  for (const char* args : {"read", "read a.edb b.edb", "read --verbose"}) {
    SCOPED_TRACE(args);
    const Result r = runCli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Usage: corvadex-cli read DATABASE [--verbose]\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliRead, MissingFileOrFolderIsAClearErrorAndExit1) {
  Result r = runCli("read /nonexistent/contacts.edb");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "corvadex-cli: /nonexistent/contacts.edb: no such file\n");
  const std::string data = dataFile("ese") + "/";
  r = runCli("read " + data);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "corvadex-cli: " + data + ": is a folder, not a database file\n");
}

TEST(CliRead, AReadThatWroteAnErrorLineExits1WithTheLogOnStandardError) {
  Result r = runCli("read " + dataFile("ese/README.md"));
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, ::testing::StartsWith("ERROR JetGetDatabaseFileInfo -"));
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_EQ(r.out, "");

  r = runCli("read " + eseSample("text"));
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, ::testing::StartsWith("database page size 4096\nJetOpenTable ERROR -"));
  EXPECT_EQ(r.out, "");

  // The sample the README offers to try: its 25 contacts, one line each.
  r = runCli("read " + sampleFile("contacts.edb"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "database page size 8192\n");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 25);
}

// The lines formatted on several threads are those of one; a list that
// cannot be written is an error that says why.
TEST(CliRead, TheListIsTheSameOnAnyThreadCountAndAFullDiskIsAnError) {
  const Result one = runCli("read --threads 1 " + sampleFile("contacts.edb"));
  ASSERT_EQ(one.status, 0);
  for (const char* threads : {"2", "3", "16"}) {
    const Result more = runCli(std::string("read --threads ") + threads + " " + sampleFile("contacts.edb"));
    EXPECT_EQ(more.status, 0) << threads;
    EXPECT_EQ(more.out, one.out) << threads;
  }
  const TempFolder dir;
  const std::string full = std::string(CORVADEX_BIN_DIR) + "/corvadex-cli read --threads 2 " +
                           sampleFile("contacts.edb") + " >/dev/full 2>" + dir.File("err");
  const int raw = std::system(full.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1);
  EXPECT_THAT(readFile(dir.File("err")),
              ::testing::HasSubstr("cannot write the contacts: No space left on device\n"));
}

}  // namespace
}  // namespace corvadex
