// SPDX-License-Identifier: Apache-2.0
// B+-tree child links that lead back to their own page or to an ancestor,
// each page given a valid checksum again: a reading must end with an error
// (or, should the damaged page go unused, with the intact content), never
// loop for ever nor repeat rows. A branch that leads into the same leaf
// twice repeats its keys: the walk ends there, and the command line names
// the leaf.
//
// The links are found in a written contacts database with 4 KiB pages,
// whose small-page layout is:
//   page header, 40 bytes: checksum (0, 8 bytes), ..., tag count (34, 2),
//                          flags (36, 4; 0x2 marks a leaf)
//   tag i, 4 bytes at (page size - 4 * (i + 1)): node size (low 13 bits of
//                          the first 16-bit word) and node offset after the
//                          header (low 13 bits of the second); tag 0 is the
//                          page's own header, nodes start at tag 1
//   branch node: key data, then the child page number in its last 4 bytes
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/byte_view.h"
#include "ese/database.h"
#include "ese/page_checksum.h"
#include "file_io.h"
#include "read_everything.h"
#include "run_program.h"
#include "base/temp_folder.h"

namespace ese::testing {
namespace {

using corvadex::testing::readFile;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

constexpr std::size_t kPageSize = 4096;

std::uint32_t U32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(s[at + b]);
  return v;
}
std::uint32_t U16(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8;
}
void Put(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
  for (int b = 0; b < bytes; ++b) s[at + b] = static_cast<char>(v >> (8 * b));
}

// Stores a valid checksum for page `pgno` of the file image.
void restamp(std::string& bytes, std::uint32_t pgno) {
  const std::size_t at = (std::size_t{pgno} + 1) * kPageSize;
  std::string page = bytes.substr(at, kPageSize);
  const Bytes view(reinterpret_cast<const std::byte*>(page.data()), page.size());
  Put(page, 0, eccChecksum(view, pgno, true), 8);
  bytes.replace(at, kPageSize, page);
}

// Offsets (within the page) of the child numbers of a branch page's nodes.
std::vector<std::size_t> childLinks(const std::string& page) {
  std::vector<std::size_t> links;
  const std::uint32_t tags = U16(page, 34);
  for (std::uint32_t i = 1; i < tags && 4 * (i + 1) < kPageSize; ++i) {
    const std::size_t tag = kPageSize - 4 * (i + 1);
    const std::size_t size = U16(page, tag) & 0x1fff;
    const std::size_t offset = U16(page, tag + 2) & 0x1fff;
    if (size >= 4 && 40 + offset + size <= kPageSize) links.push_back(40 + offset + size - 4);
  }
  return links;
}

TEST(LoopingLinks, LinksBackToTheSamePageOrAnAncestorEndInAnError) {
  TempFolder dir;
  const std::string source = dir.File("contacts.edb");
  makeManyLeafDatabase(source);
  const std::string bytes = readFile(source);
  EngineJet jet;
  const ReadOutcome intact = readThroughDatabase(source);
  const ReadOutcome intact_jet = readThroughJet(jet, source);
  ASSERT_EQ(intact.status, JET_errSuccess);
  ASSERT_EQ(intact_jet.status, JET_errSuccess);

  // Branch pages (file page p holds page number p - 1) and their parents.
  std::map<std::uint32_t, std::vector<std::size_t>> branches;
  std::map<std::uint32_t, std::uint32_t> parent_of;
  for (std::size_t at = 2 * kPageSize; at + kPageSize <= bytes.size(); at += kPageSize) {
    const std::string page = bytes.substr(at, kPageSize);
    if (U32(page, 0) == 0 && U32(page, 4) == 0) continue;
    if ((U32(page, 36) & 0x2) != 0) continue;
    const auto pgno = static_cast<std::uint32_t>(at / kPageSize - 1);
    branches[pgno] = childLinks(page);
    for (std::size_t link : branches[pgno]) parent_of[U32(page, link)] = pgno;
  }
  ASSERT_GE(branches.size(), 2u) << "the written database has no deep trees";

  const std::string damaged = dir.File("damaged.edb");
  int cases = 0;
  for (const auto& [pgno, links] : branches) {
    std::vector<std::uint32_t> targets = {pgno};
    if (parent_of.count(pgno)) targets.push_back(parent_of[pgno]);
    for (std::uint32_t target : targets) {
      std::string copy = bytes;
      const std::size_t at = (std::size_t{pgno} + 1) * kPageSize;
      for (std::size_t link : links) Put(copy, at + link, target, 4);
      restamp(copy, pgno);
      const Bytes view(reinterpret_cast<const std::byte*>(copy.data() + at), kPageSize);
      ASSERT_TRUE(verifyPageChecksum(view, pgno, true)) << "page " << pgno;
      writeFile(damaged, copy);
      const std::string what = "page " + std::to_string(pgno) + " -> " + std::to_string(target);
      for (const bool through_jet : {false, true}) {
        const ReadOutcome got =
            through_jet ? readThroughJet(jet, damaged) : readThroughDatabase(damaged);
        if (got.status == JET_errSuccess) {
          EXPECT_EQ(got.digest, (through_jet ? intact_jet : intact).digest) << what;
        } else {
          EXPECT_LT(got.status, 0) << what;
        }
      }
      ++cases;
    }
  }
  EXPECT_GE(cases, 4);
}

TEST(LoopingLinks, ABranchThatLeadsIntoALeafTwiceEndsTheReadAtThatLeaf) {
  TempFolder dir;
  const std::string source = dir.File("contacts.edb");
  makeManyLeafDatabase(source);
  std::string bytes = readFile(source);
  std::string table;
  std::uint32_t objid = 0;
  {
    std::unique_ptr<Database> db;
    ASSERT_EQ(Database::open(source, db), JET_errSuccess);
    for (const auto& t : db->catalog().tables()) {
      if (t->name.rfind("SimpleContact-", 0) == 0) {
        table = t->name;
        objid = t->objid;
      }
    }
  }
  ASSERT_NE(objid, 0u);

  // A branch page of the contact table whose first two children are leaves;
  // the second link made to point at the first leaf.
  std::uint32_t branch = 0;
  std::uint32_t leaf = 0;
  std::size_t second = 0;
  auto isLeaf = [&](std::uint32_t pgno) {
    const std::size_t at = (std::size_t{pgno} + 1) * kPageSize;
    return at + kPageSize <= bytes.size() && (U32(bytes, at + 36) & 0x2) != 0;
  };
  for (std::size_t at = 2 * kPageSize; at + kPageSize <= bytes.size() && branch == 0;
       at += kPageSize) {
    const std::string page = bytes.substr(at, kPageSize);
    if (U32(page, 24) != objid || (U32(page, 36) & 0x2) != 0) continue;
    const std::vector<std::size_t> links = childLinks(page);
    if (links.size() < 2 || !isLeaf(U32(page, links[0])) || !isLeaf(U32(page, links[1]))) continue;
    branch = static_cast<std::uint32_t>(at / kPageSize - 1);
    leaf = U32(page, links[0]);
    second = at + links[1];
  }
  ASSERT_NE(branch, 0u) << "the contact table has no branch over leaves";
  Put(bytes, second, leaf, 4);
  restamp(bytes, branch);
  const std::string damaged = dir.File("damaged.edb");
  writeFile(damaged, bytes);

  EngineJet jet;
  EXPECT_EQ(readThroughDatabase(damaged).status, JET_errDatabaseCorrupted);
  EXPECT_EQ(readThroughJet(jet, damaged).status, JET_errDatabaseCorrupted);
  const std::string detail = "corvadex-cli: page " + std::to_string(leaf) + ", table " + table +
                             ": a key does not follow the key before it\n";
  const struct {
    std::vector<std::string> arguments;  // before the file's path
    bool detailed;                       // the detail line is printed
  } kCommands[] = {
      {{"dump"}, true},
      {{"read", "--verbose"}, true},
      {{"read"}, false},
      {{"export", "--format", "csv", "-o", "/dev/null"}, false},
  };
  for (const auto& c : kCommands) {
    std::vector<std::string> argv{corvadex::test::kCli};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    argv.push_back(damaged);
    const corvadex::test::RunResult run = corvadex::test::Run(argv, "/dev/null");
    EXPECT_NE(run.exitCode, 0) << c.arguments[0];
    EXPECT_EQ(run.err.find(detail) != std::string::npos, c.detailed) << c.arguments[0] << "\n"
                                                                     << run.err;
  }
}

}  // namespace
}  // namespace ese::testing
