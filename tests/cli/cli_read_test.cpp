// SPDX-License-Identifier: Apache-2.0
// corvadex-cli read: usage, missing files, and the streams of a read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run_program.h"
#include "test_paths.h"

namespace corvadex {
namespace {

using test::RunResult;
using testing::dataFile;
using testing::eseSample;
using testing::sampleFile;

// Runs `corvadex-cli read` with the given arguments.
RunResult read(std::vector<std::string> args, const std::string& stdoutTo = {}) {
  args.insert(args.begin(), {test::kCli, "read"});
  return test::Run(args, stdoutTo);
}

TEST(CliRead, BadUsageExitsWith2) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"a.edb", "b.edb"}, {"--verbose"}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const RunResult r = read(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Usage: corvadex-cli read DATABASE [--verbose]\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliRead, MissingFileOrFolderIsAClearErrorAndExit1) {
  RunResult r = read({"/nonexistent/contacts.edb"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "corvadex-cli: /nonexistent/contacts.edb: no such file\n");
  const std::string data = dataFile("ese") + "/";
  r = read({data});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "corvadex-cli: " + data + ": is a folder, not a database file\n");
}

TEST(CliRead, AReadThatWroteAnErrorLineExits1WithTheLogOnStandardError) {
  RunResult r = read({dataFile("ese/README.md")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_THAT(r.err, ::testing::StartsWith("ERROR JetGetDatabaseFileInfo -"));
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_EQ(r.out, "");

  r = read({eseSample("text")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_THAT(r.err, ::testing::StartsWith("database page size 4096\nJetOpenTable ERROR -"));
  EXPECT_EQ(r.out, "");

  // The sample the README offers to try: its 25 contacts, one line each.
  r = read({sampleFile("contacts.edb")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "database page size 8192\n");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 25);
}

// The lines formatted on several threads are those of one; a list that
// cannot be written is an error that says why.
TEST(CliRead, TheListIsTheSameOnAnyThreadCountAndAFullDiskIsAnError) {
  const std::string db = sampleFile("contacts.edb");
  const RunResult one = read({"--threads", "1", db});
  ASSERT_EQ(one.exitCode, 0);
  for (const char* threads : {"2", "3", "16"}) {
    const RunResult more = read({"--threads", threads, db});
    EXPECT_EQ(more.exitCode, 0) << threads;
    EXPECT_EQ(more.out, one.out) << threads;
  }
  const RunResult full = read({"--threads", "2", db}, "/dev/full");
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_THAT(full.err, ::testing::HasSubstr("cannot write the contacts: No space left on device\n"));
}

}  // namespace
}  // namespace corvadex
