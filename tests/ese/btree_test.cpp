// SPDX-License-Identifier: Apache-2.0
// B+-tree walks and seeks on the sample databases, and what a damaged tree
// does to them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ese/btree.h"
#include "ese/db_file.h"
#include "file_io.h"
#include "page_patch.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese {
namespace {

using testing::get16;
using testing::patchPage;
using testing::put32;
using corvadex::testing::readFileBytes;
using corvadex::testing::eseSample;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

// In text.edb the table "text" keeps its long values in a two-level tree:
// root page 32 (object 9) with two leaves, 43 and 44.
constexpr std::uint32_t kLvRoot = 32;
constexpr std::uint32_t kLvObjid = 9;

std::vector<std::vector<std::byte>> allKeys(BTreeCursor& cursor, Status& end) {
  std::vector<std::vector<std::byte>> keys;
  for (end = cursor.first(); end == JET_errSuccess; end = cursor.Next()) {
    keys.emplace_back(cursor.key().begin(), cursor.key().end());
  }
  return keys;
}

TEST(BTree, CatalogWalkGivesEveryRowInKeyOrder) {
  std::unique_ptr<DbFile> file;
  ASSERT_EQ(DbFile::open(eseSample("basic"), file), JET_errSuccess);
  BTreeCursor cursor(file.get(), 4, 2);
  Status end;
  const auto keys = allKeys(cursor, end);
  EXPECT_EQ(end, JET_errNoCurrentRecord);
  EXPECT_EQ(keys.size(), 87u);  // the rows of MSysObjects in basic.edb
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_TRUE(std::adjacent_find(keys.begin(), keys.end()) == keys.end());
  EXPECT_EQ(cursor.Next(), JET_errNoCurrentRecord) << "stays past the end";
}

TEST(BTree, SeekThroughBranchPagesFindsEveryKeyAndTheNextGreater) {
  std::unique_ptr<DbFile> file;
  ASSERT_EQ(DbFile::open(eseSample("text"), file), JET_errSuccess);
  BTreeCursor cursor(file.get(), kLvRoot, kLvObjid);
  Status end;
  const auto keys = allKeys(cursor, end);
  ASSERT_EQ(end, JET_errNoCurrentRecord);
  ASSERT_GE(keys.size(), 10u);
  for (const auto& key : keys) {
    ASSERT_EQ(cursor.seek(Bytes(key.data(), key.size())), JET_errSuccess);
    EXPECT_TRUE(std::equal(key.begin(), key.end(), cursor.key().begin(), cursor.key().end()));
  }
  // A key between two stored ones lands on the greater.
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    std::vector<std::byte> between = keys[i];
    between.push_back(std::byte{0});
    ASSERT_EQ(cursor.seek(Bytes(between.data(), between.size())), JET_errSuccess);
    EXPECT_TRUE(std::equal(keys[i + 1].begin(), keys[i + 1].end(), cursor.key().begin(),
                           cursor.key().end()));
  }
  std::vector<std::byte> beyond(16, std::byte{0xff});
  EXPECT_EQ(cursor.seek(Bytes(beyond.data(), beyond.size())), JET_errNoCurrentRecord);
}

class DamagedTree : public ::testing::Test {
 protected:
  // Replaces the child page of the LV root's last node with `child`.
  Status walkWithLastChild(std::uint32_t child) {
    auto image = readFileBytes(eseSample("text"));
    patchPage(image, 4096, kLvRoot, [&](std::uint8_t* page) {
      const std::uint8_t* tag = page + 4096 - 12;  // tag 2
      const std::uint16_t offset = get16(tag + 2) & 0x1fff;
      put32(page + 40 + offset + 2, child);  // after the empty key's size
    });
    return Walk(image);
  }

  Status Walk(const std::vector<std::uint8_t>& image) {
    const std::string path = dir_.File("damaged.edb");
    writeFile(path, image);
    std::unique_ptr<DbFile> file;
    if (Status err = DbFile::open(path, file); err != JET_errSuccess) return err;
    BTreeCursor cursor(file.get(), kLvRoot, kLvObjid);
    Status err = cursor.first();
    while (err == JET_errSuccess) err = cursor.Next();
    return err;
  }

  TempFolder dir_;
};

TEST_F(DamagedTree, ABranchPointingBackToTheRootEndsTheWalk) {
  EXPECT_EQ(walkWithLastChild(kLvRoot), JET_errDatabaseCorrupted);
}

TEST_F(DamagedTree, AChildOfAnotherTreeIsABadLink) {
  EXPECT_EQ(walkWithLastChild(31), JET_errBadPageLink);
}

TEST_F(DamagedTree, AChildBeyondTheFileIsReportedAsSuch) {
  EXPECT_EQ(walkWithLastChild(100000), JET_errFileIOBeyondEOF);
  EXPECT_EQ(walkWithLastChild(0), JET_errBadPageLink);
}

TEST_F(DamagedTree, APageWithABadChecksumIsAReadVerifyFailure) {
  auto image = readFileBytes(eseSample("text"));
  image[(44 + 1) * 4096 + 2000] ^= 0x40;
  EXPECT_EQ(Walk(image), JET_errReadVerifyFailure);
}

TEST_F(DamagedTree, ANeverWrittenPageIsNotInitialized) {
  auto image = readFileBytes(eseSample("text"));
  std::fill_n(image.begin() + (44 + 1) * 4096, 4096, 0);
  EXPECT_EQ(Walk(image), JET_errPageNotInitialized);
}

}  // namespace
}  // namespace ese
