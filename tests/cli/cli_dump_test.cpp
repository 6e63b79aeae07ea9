// SPDX-License-Identifier: Apache-2.0
// corvadex-cli dump and tables: what the real samples and a generated
// database of many leaves dump as, and the exit statuses (0 success, 1 a
// database or output error, 2 bad usage) with what each prints.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/temp_folder.h"
#include "dump_compare.h"
#include "ese_dump.h"
#include "run_program.h"
#include "test_paths.h"

namespace corvadex {
namespace {

using test::kCli;
using test::RunResult;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// The differences between the dump at `expectedPath` and what
// `corvadex-cli dump` writes for `database`; the program must succeed.
std::vector<std::string> dumpDifferences(const std::string& database, const std::string& expectedPath) {
  const RunResult dumped = test::Run({kCli, "dump", database});
  EXPECT_EQ(dumped.exitCode, 0) << dumped.err;
  return testing::compareDumps(testing::readDump(expectedPath), testing::parseDump(dumped.out, database));
}

TEST(CliDump, EverySampleDumpsAsTheIndependentReaderSawIt) {
  for (const std::string& name : testing::eseSampleNames()) {
    SCOPED_TRACE(name);
    EXPECT_THAT(dumpDifferences(testing::eseSample(name), testing::eseSampleDump(name)), IsEmpty());
  }
}

// A table of many leaves, read in runs along the file, against what the
// writer says it stored.
TEST(CliDump, AGeneratedTableOfManyLeavesDumpsAsWritten) {
  const TempFolder dir;
  const std::string expected = dir.File("x.json");
  const std::string db =
      test::makeDatabase(dir, "x.edb", {"--count", "3000", "--page-size", "4096", "--expected", expected});
  EXPECT_THAT(dumpDifferences(db, expected), IsEmpty());
}

TEST(CliDump, ExitStatusesAndWhatEachPrints) {
  const std::string basic = testing::eseSample("basic");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;  // a line or part the output holds ("" for none)
    std::string err;  // a part standard error holds ("" for none)
  } cases[] = {
      {{"tables", basic}, 0, "\nstate: clean shutdown\n", ""},
      {{"dump", basic, "basic"}, 0, "\"name\": \"basic\"", ""},
      {{"dump", "--help"}, 0, "Usage: corvadex-cli dump DATABASE", ""},
      {{"dump"}, 2, "", "Usage: corvadex-cli dump DATABASE"},
      {{"tables", "a", "b"}, 2, "", "Usage: corvadex-cli tables DATABASE"},
      {{"dump", "/nonexistent/x.edb"}, 1, "", "/nonexistent/x.edb: error -1811"},
      {{"dump", basic, "NoSuchTable"}, 1, "", "table NoSuchTable: error -1305"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{kCli};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const RunResult r = test::Run(argv);
    EXPECT_EQ(r.exitCode, c.status) << r.err;
    if (c.out.empty())
      EXPECT_EQ(r.out, "");
    else
      EXPECT_THAT(r.out, HasSubstr(c.out));
    if (c.err.empty())
      EXPECT_EQ(r.err, "");
    else
      EXPECT_THAT(r.err, HasSubstr(c.err));
  }
}

TEST(CliDump, AFullOutputIsAnErrorOfItsOwn) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no writable /dev/full";
  const RunResult r = test::Run({kCli, "dump", testing::eseSample("basic")}, "/dev/full");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_THAT(r.err, HasSubstr("corvadex-cli: cannot write the dump\n"));
}

}  // namespace
}  // namespace corvadex
