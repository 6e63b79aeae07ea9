// SPDX-License-Identifier: Apache-2.0
// Records and keys byte for byte as Windows writes them: the catalog rows
// of a real database are rebuilt from their values and compared with the
// bytes on its pages.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "catalog.h"
#include "file_io.h"
#include "key.h"
#include "record.h"
#include "test_paths.h"

namespace corvadex::esew {
namespace {

// Node `tag` of page `pgno` of a 4 KiB real database: (key, record), with a
// prefix-compressed key completed from tag 0.
std::size_t u16_from(const Bytes& b, std::size_t at) {
  return static_cast<std::size_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::pair<Bytes, Bytes> realNode(const std::string& file, std::uint32_t pgno, int tag) {
  const std::size_t ps = 4096, base = (pgno + 1) * ps;
  auto u16 = [&](std::size_t at) {
    return static_cast<std::size_t>(static_cast<unsigned char>(file[at]) | (static_cast<unsigned char>(file[at + 1]) << 8));
  };
  auto tagAt = [&](int t) {
    const std::size_t at = base + ps - 4 * static_cast<std::size_t>(t + 1);
    return std::tuple{u16(at) & 0x1fff, u16(at + 2) & 0x1fff, u16(at + 2) >> 13};
  };
  const auto [cb0, ib0, f0] = tagAt(0);
  const Bytes prefix = file.substr(base + 40 + ib0, cb0);
  const auto [cb, ib, flags] = tagAt(tag);
  const Bytes node = file.substr(base + 40 + ib, cb);
  if (flags & 4) {
    const std::size_t p = u16_from(node, 0), s = u16_from(node, 2);
    return {prefix.substr(0, p) + node.substr(4, s), node.substr(4 + s)};
  }
  const std::size_t k = u16_from(node, 0);
  return {node.substr(2, k), node.substr(2 + k)};
}

// The engine leaves whatever was there in the slot of a null fixed column;
// only the null bit counts, so such slots are compared as zeros.
Bytes zeroNullFixedSlots(Bytes record, const TableDef& table) {
  const auto lastFixed = static_cast<unsigned char>(record[0]);
  std::size_t at = 4;
  const std::size_t bitmap = 4 + [&] {
    std::size_t n = 0;
    for (std::uint32_t id = 1; id <= lastFixed; ++id) n += table.column(id)->fixedSlotSize();
    return n;
  }();
  for (std::uint32_t id = 1; id <= lastFixed; ++id) {
    const std::size_t size = table.column(id)->fixedSlotSize();
    if (static_cast<unsigned char>(record[bitmap + (id - 1) / 8]) & (1u << ((id - 1) % 8)))
      record.replace(at, size, size, '\0');
    at += size;
  }
  return record;
}

TEST(Record, CatalogRowsMatchTheBytesWindowsWrote) {
  const std::string file = testing::readFile(testing::eseSample("text"));
  ASSERT_FALSE(file.empty());
  const TableDef catalog = catalogTableDef(0x14, "MSysObjects");
  RecordEncoder encoder(catalog, FileFormat{4096, 0x14});
  auto noSeparation = [](std::string_view) -> std::uint32_t { throw std::logic_error("separated"); };

  // Page 13 starts with the catalog's own table row and its first column.
  CatalogEntry table;
  table.objidTable = 2;
  table.type = catalog_type::kTable;
  table.id = 2;
  table.coltypOrPgnoFDP = 4;
  table.spaceUsage = 80;
  table.flags = 0xc0000000u;
  table.pagesOrLocale = 20;
  table.rootFlag = true;
  table.name = "MSysObjects";
  const auto [key1, rec1] = realNode(file, 13, 1);
  const Row row1 = catalogRow(table, catalog);
  EXPECT_EQ(hex(primaryKey(catalog, row1)), hex(key1));
  EXPECT_EQ(hex(encoder.encode(row1, 4000, noSeparation)), hex(zeroNullFixedSlots(rec1, catalog)));

  // The primary index row: variable KeyFldIDs and a tagged LocaleName with
  // its flag byte.
  bool found = false;
  for (std::uint32_t pgno = 13; pgno <= 23 && !found; ++pgno) {
    for (int t = 1; t < 80 && !found; ++t) {
      const auto [key, rec] = realNode(file, pgno, t);
      if (key != Bytes("\x7f\x80\x00\x00\x02\x7f\x80\x03\x7f\x80\x00\x00\x02", 13)) continue;
      found = true;
      CatalogEntry index;
      index.objidTable = 2;
      index.type = catalog_type::kIndex;
      index.id = 2;
      index.coltypOrPgnoFDP = 4;
      index.spaceUsage = 80;
      index.flags = 0x00010031u;
      index.lcMapFlags = 0x00030401u;
      index.name = "Id";
      index.keyFldIds = Bytes("\0\0\x01\0\0\0\x02\0\0\0\x03\0", 12);
      index.localeName = utf16le("en-US");
      EXPECT_EQ(hex(encoder.encode(catalogRow(index, catalog), 4000, noSeparation)),
                hex(zeroNullFixedSlots(rec, catalog)));
    }
  }
  EXPECT_TRUE(found) << "index row of MSysObjects not on pages 13-23";
}

TEST(Key, BinaryKeysMatchTheRealLocaleTable) {
  const std::string file = testing::readFile(testing::eseSample("text"));
  ASSERT_FALSE(file.empty());
  // Page 30 holds MSysLocales; its first row's key is the name below.
  Bytes value = utf16le(".Schema\\External\\Major");
  value.append(2, '\0');
  Bytes key;
  ASSERT_TRUE(appendKeySegment(key, ColumnType::Binary, value));
  EXPECT_EQ(hex(key), hex(realNode(file, 30, 1).first));
}

TEST(Key, SignedAndUnsignedIntegersSortAsNumbers) {
  auto keyOf = [](ColumnType type, Bytes v) {
    Bytes k;
    appendKeySegment(k, type, v);
    return k;
  };
  EXPECT_LT(keyOf(ColumnType::Long, le32(0xffffffffu)), keyOf(ColumnType::Long, le32(0)));  // -1 < 0
  EXPECT_LT(keyOf(ColumnType::Long, le32(1)), keyOf(ColumnType::Long, le32(256)));
  EXPECT_LT(keyOf(ColumnType::UnsignedLong, le32(0x7fffffff)), keyOf(ColumnType::UnsignedLong, le32(0x80000000u)));
  EXPECT_LT(keyOf(ColumnType::Short, le16(0x8000)), keyOf(ColumnType::Short, le16(0x7fff)));
  // Binary: a value that is a prefix of another sorts first; 8 bytes end
  // with their count, longer ones continue after 9.
  EXPECT_LT(keyOf(ColumnType::Binary, "abc"), keyOf(ColumnType::Binary, "abcd"));
  EXPECT_EQ(hex(keyOf(ColumnType::Binary, "12345678")), "7f313233343536373808");
  EXPECT_EQ(hex(keyOf(ColumnType::Binary, "123456789")), "7f3132333435363738093900000000000000" "01");
}

TEST(Record, RejectsRowsTheTableCannotHold) {
  TableDef t;
  t.name = "t";
  ColumnDef id{1, "Id", ColumnType::Long};
  id.notNull = true;
  t.columns = {id, {2, "Small", ColumnType::Short}, {256, "Single", ColumnType::Text, kCodePageUnicode}};
  t.keyColumns = {1};
  RecordEncoder encoder(t, FileFormat{8192, 0x11});
  auto none = [](std::string_view) -> std::uint32_t { return 1; };
  EXPECT_THROW(encoder.encode({{2, {le16(1)}}}, 4000, none), std::invalid_argument);  // Id null
  EXPECT_THROW(encoder.encode({{1, {le32(1)}}, {2, {le32(1)}}}, 4000, none), std::invalid_argument);  // wrong size
  EXPECT_THROW(encoder.encode({{1, {le32(1)}}, {256, {"a", "b"}}}, 4000, none), std::invalid_argument);  // not multi-valued
  EXPECT_THROW(encoder.encode({{1, {le32(1)}}, {9, {"x"}}}, 4000, none), std::invalid_argument);  // no such column
  EXPECT_THROW(encoder.encode({{1, {le32(1)}}, {256, {Bytes(5000, 'x')}}}, 4000, none), std::invalid_argument);

  TableDef gap = t;
  gap.columns.push_back({4, "Gap", ColumnType::Long});
  EXPECT_THROW(RecordEncoder(gap, FileFormat{8192, 0x11}), std::invalid_argument);
}

TEST(Record, LongValuesMoveToTheLongValueTreeUntilTheRecordFits) {
  TableDef t;
  t.name = "t";
  ColumnDef id{1, "Id", ColumnType::Long};
  id.notNull = true;
  ColumnDef notes{256, "Notes", ColumnType::LongText, kCodePageUnicode};
  notes.multiValued = true;
  t.columns = {id, notes};
  t.keyColumns = {1};
  RecordEncoder encoder(t, FileFormat{4096, 0x14});
  std::vector<std::size_t> separated;
  auto keep = [&](std::string_view v) {
    separated.push_back(v.size());
    return static_cast<std::uint32_t>(separated.size());
  };
  // Below a quarter page stays in the record; three values of 900 bytes do
  // not fit together in a 2000-byte record, so the writer separates enough.
  const Bytes rec = encoder.encode({{1, {le32(1)}}, {256, {Bytes(900, 'a'), Bytes(900, 'b'), Bytes(900, 'c')}}},
                                   2000, keep);
  EXPECT_LE(rec.size(), 2000u);
  EXPECT_FALSE(separated.empty());
  separated.clear();
  encoder.encode({{1, {le32(2)}}, {256, {Bytes(1025, 'a')}}}, 4000, keep);
  EXPECT_EQ(separated, std::vector<std::size_t>{1025});
  separated.clear();
  encoder.encode({{1, {le32(3)}}, {256, {Bytes(1000, 'a')}}}, 4000, keep);
  EXPECT_TRUE(separated.empty());
}

}  // namespace
}  // namespace corvadex::esew
