// SPDX-License-Identifier: Apache-2.0
// Whole databases written through the library: trees of several levels at
// every page size, crafted files a reader must survive, and the writer's
// refusals. Each file is read back by the project's own reader
// (corvadex-cli dump) and compared with the writer's dump of what it stored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "database_writer.h"
#include "dump_compare.h"
#include "dump_writer.h"
#include "file_io.h"
#include "base/temp_folder.h"

namespace corvadex::esew {
namespace {

namespace fs = std::filesystem;

class DatabaseTest : public ::testing::Test {
 protected:
  // Dumps the file with our reader and compares that with the expected
  // dump: the differences, none when they agree.
  std::vector<std::string> readerDisagrees(const fs::path& db, const fs::path& expected) {
    const fs::path got = dir_ / "got.json";
    const std::string dump = std::string(CORVADEX_BIN_DIR) + "/corvadex-cli dump '" + db.string() + "' > '" +
                             got.string() + "'";
    if (std::system(dump.c_str()) != 0) return {"failed: " + dump};
    return testing::compareDumps(testing::readDump(expected.string()), testing::readDump(got.string()));
  }

  const corvadex::TempFolder folder_;
  const fs::path dir_{folder_.path()};
};

std::string readFile(const fs::path& path) { return testing::readFile(path.string()); }

std::uint32_t u32(const std::string& f, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(f[at + static_cast<std::size_t>(i)]);
  return v;
}

// Levels of the tree rooted at pgno, following first children.
int treeDepth(const std::string& file, std::uint32_t pageSize, std::uint32_t pgno) {
  const std::uint32_t header = pageSize > 8192 ? 80 : 40;
  for (int depth = 1; depth < 10; ++depth) {
    const std::size_t base = (static_cast<std::size_t>(pgno) + 1) * pageSize;
    const std::uint32_t flags = u32(file, base + 36);
    if (flags & 0x2) return depth;
    // Tag 1: the first child; its data ends in the child page number.
    const std::size_t tag = base + pageSize - 8;
    const std::size_t cb = (static_cast<unsigned char>(file[tag]) | (static_cast<unsigned char>(file[tag + 1]) << 8)) &
                           (pageSize > 8192 ? 0x7fff : 0x1fff);
    const std::size_t ib = (static_cast<unsigned char>(file[tag + 2]) | (static_cast<unsigned char>(file[tag + 3]) << 8)) &
                           (pageSize > 8192 ? 0x7fff : 0x1fff);
    pgno = u32(file, base + header + ib + cb - 4);
  }
  return -1;
}

// A table whose 240-byte keys keep parent pages small, so that a few
// thousand rows make a tree of three levels even on 32 KiB pages.
TableDef wideKeyTable() {
  TableDef t;
  t.name = "WideKeys";
  ColumnDef key{128, "Key", ColumnType::Binary, 0, 255};
  key.notNull = true;
  t.columns = {{1, "Number", ColumnType::Long}, key, {256, "Payload", ColumnType::LongBinary}};
  t.keyColumns = {128};
  return t;
}

Row wideKeyRow(std::uint32_t n, std::size_t payload) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%08u", n);
  Bytes key = Bytes(prefix) + Bytes(200, static_cast<char>('a' + n % 26));
  return {{1, {le32(n)}}, {128, {key}}, {256, {Bytes(payload, static_cast<char>(n))}}};
}

TEST_F(DatabaseTest, ThreeLevelTreesAtEveryPageSizeReadBackWhole) {
  for (std::uint32_t pageSize : {4096u, 8192u, 16384u, 32768u}) {
    SCOPED_TRACE(pageSize);
    const std::uint32_t revision = pageSize > 8192 ? 0x11 : 0x0c;
    const fs::path db = dir_ / "deep.edb", expected = dir_ / "deep.json";
    DumpWriter dump;
    ASSERT_EQ(dump.open(expected.string()), "");
    DatabaseWriter w;
    ASSERT_EQ(w.create(db.string(), WriterOptions{{pageSize, revision}, false, 7, {}}, &dump), "");
    ASSERT_EQ(w.beginTable(wideKeyTable()), "");
    // Rows per leaf ~ pageSize / 1300; children per parent ~ pageSize / 260.
    const std::uint32_t rows = (pageSize / 1300 + 1) * (pageSize / 240 + 2) + 10;
    for (std::uint32_t n = 0; n < rows; ++n) ASSERT_EQ(w.addRow(wideKeyRow(n, 1000)), "");
    ASSERT_EQ(w.endTable(), "");
    ASSERT_EQ(w.finish(), "");
    const std::string file = readFile(db);
    EXPECT_GE(treeDepth(file, pageSize, 29), 3);  // the first table after the fixed pages
    EXPECT_EQ(readerDisagrees(db, expected), std::vector<std::string>{});
  }
}

TEST_F(DatabaseTest, ValuesSpanningSeveralLongValueChunksReadBackWhole) {
  const fs::path db = dir_ / "lv.edb", expected = dir_ / "lv.json";
  DumpWriter dump;
  ASSERT_EQ(dump.open(expected.string()), "");
  DatabaseWriter w;
  ASSERT_EQ(w.create(db.string(), WriterOptions{{4096, 0x14}, true, 1, {}}, &dump), "");
  ASSERT_EQ(w.beginTable(wideKeyTable()), "");
  for (std::uint32_t n = 0; n < 40; ++n) ASSERT_EQ(w.addRow(wideKeyRow(n, n * 997)), "");
  ASSERT_EQ(w.endTable(), "");
  ASSERT_EQ(w.finish(), "");
  EXPECT_EQ(u32(readFile(db), 52), 2u);  // dirty shutdown
  EXPECT_EQ(readerDisagrees(db, expected), std::vector<std::string>{});
}

TEST_F(DatabaseTest, CraftedFileAReaderMustSurvive) {
  // A table name over 256 bytes, a catalog row of a type that is no table,
  // a text value longer than its column's declared size, date-times of 4
  // and 12 bytes, a column default, zero-length and multiple values.
  const fs::path db = dir_ / "crafted.edb", expected = dir_ / "crafted.json";
  DumpWriter dump;
  ASSERT_EQ(dump.open(expected.string()), "");
  WriterOptions options{{8192, 0x11}, false, 3, {}};
  CatalogEntry odd;
  odd.objidTable = 2;
  odd.type = 9;
  odd.id = 99;
  odd.name = "NotATable";
  options.extraCatalogEntries.push_back(odd);
  DatabaseWriter w;
  ASSERT_EQ(w.create(db.string(), options, &dump), "");
  TableDef t;
  t.name = "Long" + std::string(300, 'N');
  ColumnDef id{1, "Id", ColumnType::Long};
  id.notNull = true;
  ColumnDef shortText{256, "Short", ColumnType::Text, kCodePageUnicode, 8};
  ColumnDef when{257, "When", ColumnType::DateTime};
  ColumnDef level{258, "Level", ColumnType::Short};
  level.defaultValue = le16(5);
  ColumnDef many{259, "Many", ColumnType::Long};
  many.multiValued = true;
  t.columns = {id, shortText, when, level, many};
  t.keyColumns = {1};
  ASSERT_EQ(w.beginTable(t), "");
  ASSERT_EQ(w.addRow({{1, {le32(1)}}, {256, {utf16le("far longer than eight bytes")}}, {257, {le32(12345)}}}), "");
  ASSERT_EQ(w.addRow({{1, {le32(2)}}, {256, {""}}, {257, {Bytes(12, '\x01')}}, {258, {le16(7)}},
                      {259, {le32(1), le32(2)}}}),
            "");
  ASSERT_EQ(w.addRow({{1, {le32(3)}}, {259, {le32(1), le32(2), le32(3), le32(4)}}}), "");
  ASSERT_EQ(w.endTable(), "");
  ASSERT_EQ(w.finish(), "");
  EXPECT_EQ(readerDisagrees(db, expected), std::vector<std::string>{});
  const std::string libesedb = "/usr/bin/python3 '" + std::string(CORVADEX_SOURCE_DIR) +
                               "/tools/ese_writer/check_independent.py' --reader libesedb '" + expected.string() +
                               "' '" + db.string() + "'";
  const int rc = std::system(libesedb.c_str());
  EXPECT_TRUE(rc == 0 || WEXITSTATUS(rc) == 77) << rc;
}

TEST_F(DatabaseTest, RefusesWhatItCannotWriteAndStaysRefused) {
  DatabaseWriter bad;
  EXPECT_NE(bad.create((dir_ / "x.edb").string(), WriterOptions{{16384, 0x0c}, false, 1, {}}), "");
  EXPECT_NE(bad.beginTable(wideKeyTable()), "");

  DatabaseWriter w;
  ASSERT_EQ(w.create((dir_ / "y.edb").string(), WriterOptions{{8192, 0x11}, false, 1, {}}), "");
  ASSERT_EQ(w.beginTable(wideKeyTable()), "");
  ASSERT_EQ(w.addRow(wideKeyRow(5, 10)), "");
  const std::string error = w.addRow(wideKeyRow(4, 10));  // out of key order
  EXPECT_NE(error, "");
  EXPECT_EQ(w.addRow(wideKeyRow(6, 10)), error);
  EXPECT_EQ(w.finish(), error);

  DatabaseWriter nowhere;
  EXPECT_NE(nowhere.create((dir_ / "missing" / "z.edb").string(), WriterOptions{}), "");
}

TEST_F(DatabaseTest, SameInputSameBytes) {
  auto write = [&](const fs::path& db) {
    DatabaseWriter w;
    ASSERT_EQ(w.create(db.string(), WriterOptions{{8192, 0x11}, false, 1, {}}), "");
    ASSERT_EQ(w.beginTable(wideKeyTable()), "");
    for (std::uint32_t n = 0; n < 50; ++n) ASSERT_EQ(w.addRow(wideKeyRow(n, 3000)), "");
    ASSERT_EQ(w.endTable(), "");
    ASSERT_EQ(w.finish(), "");
  };
  write(dir_ / "a.edb");
  write(dir_ / "b.edb");
  EXPECT_EQ(readFile(dir_ / "a.edb"), readFile(dir_ / "b.edb"));
}

}  // namespace
}  // namespace corvadex::esew
