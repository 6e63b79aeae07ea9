// SPDX-License-Identifier: Apache-2.0
// Reading in runs along the file, with and without the worker thread that
// reads ahead, and with a cache of a few pages that must give its slots
// again while the walk still holds pages: every way reads the same rows.
// (That the rows are the ones written is checked against the writer's dump
// by the ese_generated_dump_many_leaves test.)
#include <gtest/gtest.h>

#include <string>

#include "base/temp_folder.h"
#include "ese/jet.h"
#include "read_everything.h"

namespace ese::testing {
namespace {

using corvadex::TempFolder;

TEST(ReadAhead, EveryCacheSizeAndThreadCountReadsTheSameRows) {
  TempFolder dir;
  const std::string path = dir.File("contacts.edb");
  makeManyLeafDatabase(path);
  EngineJet plain;
  const ReadOutcome expected = readThroughJet(plain, path);
  ASSERT_EQ(expected.status, JET_errSuccess);
  EXPECT_GE(expected.rows, 3000u);

  const struct {
    unsigned threads;
    std::size_t cache_bytes;  // 0: the fewest pages a cache keeps
  } kWays[] = {{1, 0}, {2, 0}, {2, std::size_t{8} << 20}, {4, std::size_t{1} << 20}};
  for (const auto& way : kWays) {
    SCOPED_TRACE(std::to_string(way.threads) + " threads, cache " + std::to_string(way.cache_bytes));
    EngineJet jet(EngineOptions{way.threads, way.cache_bytes});
    const ReadOutcome got = readThroughJet(jet, path);
    EXPECT_EQ(got.status, JET_errSuccess);
    EXPECT_EQ(got.rows, expected.rows);
    EXPECT_EQ(got.values, expected.values);
    EXPECT_EQ(got.digest, expected.digest);
  }
}

}  // namespace
}  // namespace ese::testing
