// SPDX-License-Identifier: Apache-2.0
// Record parsing: fixed, variable and tagged columns, nulls, defaults and
// multiple values, on records built byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ese/record.h"
#include "page_patch.h"

namespace ese {
namespace {

using testing::put16;

ColumnInfo Column(JET_COLUMNID id, JET_COLTYP type, std::uint16_t fixed_size = 0,
                  std::uint16_t record_offset = 0) {
  ColumnInfo c;
  c.id = id;
  c.type = type;
  c.fixed_size = fixed_size;
  c.record_offset = record_offset;
  return c;
}

std::string Text(const StoredValue& v) {
  return std::string(reinterpret_cast<const char*>(v.bytes.data()), v.bytes.size());
}

class RecordTest : public ::testing::Test {
 protected:
  // Fixed: 1 Long = 0x11223344, 2 Short (null). Variable: 128 "abc", 129
  // null. Tagged (small-page layout): 256 "xy" plain; 257 two values "P",
  // "QR"; 258 several values "AA" and a long-value id; 259 null; 260
  // compressed.
  void SetUp() override {
    bytes_ = {2, 129, 0, 0,              // header; end of fixed data below
              0x44, 0x33, 0x22, 0x11,    // column 1
              0, 0,                      // column 2 (null)
              0x02,                      // null bitmap: column 2
              0, 0, 0, 0,                // variable offsets
              'a', 'b', 'c'};            // variable data
    put16(&bytes_[2], 11);
    put16(&bytes_[11], 3);
    put16(&bytes_[13], 0x8003);
    const std::vector<std::uint8_t> v256 = {'x', 'y'};
    const std::vector<std::uint8_t> v257 = {0x10, 1, 'P', 'Q', 'R'};
    const std::vector<std::uint8_t> v258 = {0x08, 4, 0, 6, 0x80, 'A', 'A', 7, 0, 0, 0};
    const std::vector<std::uint8_t> v260 = {0x02, 0x18, 0xEE};
    const std::size_t dir = 5 * 4;
    std::vector<std::uint8_t> tagged(dir, 0);
    std::uint16_t at = static_cast<std::uint16_t>(dir);
    auto add = [&](int index, std::uint16_t fid, const std::vector<std::uint8_t>& v,
                   std::uint16_t bits) {
      put16(&tagged[4 * index], fid);
      put16(&tagged[4 * index + 2], static_cast<std::uint16_t>(at | bits));
      tagged.insert(tagged.end(), v.begin(), v.end());
      at = static_cast<std::uint16_t>(at + v.size());
    };
    add(0, 256, v256, 0);
    add(1, 257, v257, 0x4000);
    add(2, 258, v258, 0x4000);
    add(3, 259, {}, 0x2000);
    add(4, 260, v260, 0x4000);
    bytes_.insert(bytes_.end(), tagged.begin(), tagged.end());
    ASSERT_EQ(record_.parse(view(), false), JET_errSuccess);
  }

  ByteView view() const {
    return ByteView(reinterpret_cast<const std::byte*>(bytes_.data()), bytes_.size());
  }

  StoredValue get(const ColumnInfo& c, std::uint32_t itag = 1, std::uint32_t* count = nullptr) {
    StoredValue v;
    EXPECT_EQ(record_.get(c, false, itag, v, count), JET_errSuccess) << "column " << c.id;
    return v;
  }

  std::vector<std::uint8_t> bytes_;
  Record record_;
};

TEST_F(RecordTest, FixedColumnsAndTheNullBitmap) {
  StoredValue v = get(Column(1, JET_coltypLong, 4, 4));
  ASSERT_EQ(v.kind, ValueKind::kInline);
  std::uint32_t n = 0;
  ASSERT_TRUE(v.bytes.U32(0, n));
  EXPECT_EQ(n, 0x11223344u);
  EXPECT_EQ(get(Column(2, JET_coltypShort, 2, 8)).kind, ValueKind::kNull);
}

TEST_F(RecordTest, VariableColumnsAndNullFlag) {
  StoredValue v = get(Column(128, JET_coltypText));
  ASSERT_EQ(v.kind, ValueKind::kInline);
  EXPECT_EQ(Text(v), "abc");
  EXPECT_EQ(get(Column(129, JET_coltypBinary)).kind, ValueKind::kNull);
}

TEST_F(RecordTest, ColumnsTheRecordDoesNotStoreReadTheirDefault) {
  ColumnInfo fixed = Column(5, JET_coltypShort, 2, 12);
  ColumnInfo variable = Column(140, JET_coltypBinary);
  ColumnInfo tagged = Column(300, JET_coltypLongBinary);
  for (ColumnInfo* c : {&fixed, &variable, &tagged}) {
    EXPECT_EQ(get(*c).kind, ValueKind::kNull) << c->id;
    c->has_default = true;
    c->default_value = {std::byte{0x5a}, std::byte{0xa5}};
    std::uint32_t count = 0;
    StoredValue v = get(*c, 1, &count);
    ASSERT_EQ(v.kind, ValueKind::kInline) << c->id;
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(v.bytes.size(), 2u);
    EXPECT_EQ(get(*c, 2).kind, ValueKind::kNull) << "a default is a single value";
  }
}

TEST_F(RecordTest, TaggedSingleTwoAndSeveralValues) {
  std::uint32_t count = 0;
  StoredValue v = get(Column(256, JET_coltypBinary), 1, &count);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(Text(v), "xy");
  EXPECT_EQ(get(Column(256, JET_coltypBinary), 0).kind, ValueKind::kInline) << "0 reads as 1";
  EXPECT_EQ(get(Column(256, JET_coltypBinary), 2).kind, ValueKind::kNull);

  const ColumnInfo two = Column(257, JET_coltypText);
  EXPECT_EQ(Text(get(two, 1, &count)), "P");
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(Text(get(two, 2)), "QR");
  EXPECT_EQ(get(two, 3).kind, ValueKind::kNull);

  const ColumnInfo several = Column(258, JET_coltypLongBinary);
  v = get(several, 1, &count);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(v.kind, ValueKind::kInline);
  EXPECT_EQ(Text(v), "AA");
  v = get(several, 2);
  EXPECT_EQ(v.kind, ValueKind::kSeparated);
  EXPECT_EQ(v.bytes.size(), 4u);
}

TEST_F(RecordTest, TaggedNullAndCompressedValues) {
  std::uint32_t count = 7;
  EXPECT_EQ(get(Column(259, JET_coltypBinary), 1, &count).kind, ValueKind::kNull);
  EXPECT_EQ(count, 0u);
  StoredValue v = get(Column(260, JET_coltypLongText));
  EXPECT_EQ(v.kind, ValueKind::kCompressed);
  EXPECT_EQ(v.bytes.size(), 2u);
}

TEST_F(RecordTest, LengthsThatDoNotFitAreCorruptionNamingTheCheck) {
  const struct {
    std::size_t at;  // where a 16-bit word is changed (0: nothing)
    std::uint16_t value;
    std::size_t size;  // how much of the record is kept (0: all)
    const char* check;
  } kCases[] = {
      {0, 0, 3, "the record is shorter than its header"},
      {2, 2000, 0, "the record's fixed data ends outside the record"},
      {13, 0x7000, 0, "the record's variable data runs past its end"},
      {18 + 2, 0x4000 | 0x0fff, 0, "the tagged directory runs past the record's end"},
      {18 + 4 * 1 + 2, 0x4000 | 0x0fff, 0, "a tagged value lies outside the record's tagged data"},
  };
  for (const auto& c : kCases) {
    auto bytes = bytes_;
    if (c.at != 0) put16(&bytes[c.at], c.value);
    const ByteView view(reinterpret_cast<const std::byte*>(bytes.data()),
                        c.size != 0 ? c.size : bytes.size());
    Record r;
    Status err = r.parse(view, false);
    StoredValue v;
    if (err.ok()) err = r.get(Column(256, JET_coltypBinary), false, 1, v);
    EXPECT_EQ(err.code, JET_errDatabaseCorrupted) << c.check;
    EXPECT_STREQ(err.check, c.check);
  }
}

// The answer without a call must be get's whenever it gives one: on the
// record above for every column, with and without a default, and on copies
// whose lengths or offsets are damaged (where only get may answer, and
// reports the damage).
TEST_F(RecordTest, QuickAnswersAreTheOnesGetGives) {
  std::vector<ColumnInfo> columns = {
      Column(1, JET_coltypLong, 4, 4), Column(2, JET_coltypShort, 2, 8),
      Column(1, JET_coltypLong, 4, 8),  // runs into the null bitmap
      Column(5, JET_coltypShort, 2, 12), Column(128, JET_coltypText),
      Column(129, JET_coltypBinary), Column(140, JET_coltypBinary)};
  for (JET_COLUMNID id = 256; id <= 261; ++id) columns.push_back(Column(id, JET_coltypBinary));
  for (std::size_t i = 0, n = columns.size(); i < n; ++i) {
    ColumnInfo with_default = columns[i];
    with_default.has_default = true;
    with_default.default_value = {std::byte{0x5a}};
    columns.push_back(with_default);
  }
  const struct {
    std::size_t at;  // a 16-bit word changed (0: none)
    std::uint16_t value;
    const char* what;
  } kCopies[] = {
      {0, 0, "as built"},
      {11, 0x0002, "variable 128 one byte shorter"},
      {13, 0x0002, "variable 129 not null and ending before 128 ends"},
      {11, 0x0400, "variable 128 running into the tagged data"},
  };
  for (const auto& copy : kCopies) {
    auto bytes = bytes_;
    if (copy.at != 0) put16(&bytes[copy.at], copy.value);
    Record r;
    ASSERT_EQ(r.parse(ByteView(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()), false),
              JET_errSuccess)
        << copy.what;
    int answered = 0;
    for (int pass = 0; pass < 2; ++pass) {  // the second with the tagged directory prepared
      for (const ColumnInfo& c : columns) {
        for (std::uint32_t itag = 1; itag <= 3; ++itag) {
          ByteView quick;
          const Record::Quick q = r.quick(c, itag, quick);
          StoredValue v;
          const Status err = r.get(c, false, itag, v);
          const std::string where = std::string(copy.what) + ", column " + std::to_string(c.id) +
                                    ", value " + std::to_string(itag);
          if (q == Record::Quick::kAsk) continue;
          ++answered;
          ASSERT_EQ(err, JET_errSuccess) << where;
          ASSERT_EQ(v.kind, q == Record::Quick::kNull ? ValueKind::kNull : ValueKind::kInline)
              << where;
          EXPECT_EQ(std::string(reinterpret_cast<const char*>(quick.data()), quick.size()),
                    q == Record::Quick::kNull ? std::string() : Text(v))
              << where;
        }
      }
    }
    EXPECT_GT(answered, 40) << copy.what << ": the quick answer is hardly ever given";
  }
}

TEST(RecordLargePage, EveryTaggedValueHasAFlagsByteAndNullIsAFlag) {
  // No fixed or variable columns; tagged 256 = "hi", 257 = null.
  std::vector<std::uint8_t> bytes = {0, 127, 4, 0};
  const std::vector<std::uint8_t> tagged = {0, 1, 8, 0,  1, 1, 11, 0,
                                            0x00, 'h', 'i', 0x20};
  bytes.insert(bytes.end(), tagged.begin(), tagged.end());
  Record r;
  ASSERT_EQ(r.parse(ByteView(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()), true),
            JET_errSuccess);
  StoredValue v;
  ASSERT_EQ(r.get(Column(256, JET_coltypBinary), false, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "hi");
  ASSERT_EQ(r.get(Column(257, JET_coltypBinary), false, 1, v), JET_errSuccess);
  EXPECT_EQ(v.kind, ValueKind::kNull);
}

// A record with only tagged columns (small-page layout, no flags bytes):
// each entry a column id and its text.
std::vector<std::uint8_t> taggedOnly(const std::vector<std::pair<std::uint16_t, std::string>>& tags) {
  std::vector<std::uint8_t> bytes = {0, 127, 4, 0};
  std::vector<std::uint8_t> data;
  const std::size_t dir = 4 * tags.size();
  for (const auto& [fid, text] : tags) {
    bytes.push_back(static_cast<std::uint8_t>(fid & 0xff));
    bytes.push_back(static_cast<std::uint8_t>(fid >> 8));
    const std::size_t at = dir + data.size();
    bytes.push_back(static_cast<std::uint8_t>(at & 0xff));
    bytes.push_back(static_cast<std::uint8_t>(at >> 8));
    data.insert(data.end(), text.begin(), text.end());
  }
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

TEST(RecordTaggedLookup, OneRecordObjectReadsRowAfterRowInAnyColumnOrder) {
  // Row one holds 256, 300 and a column id far above the rest; row two
  // holds only 300. What row one held must not show through in row two.
  const std::uint16_t far = 256 + 2000;
  const auto first = taggedOnly({{256, "a"}, {300, "bb"}, {far, "far"}});
  const auto second = taggedOnly({{300, "second"}});
  const ColumnInfo c256 = Column(256, JET_coltypText);
  const ColumnInfo c300 = Column(300, JET_coltypText);
  const ColumnInfo c301 = Column(301, JET_coltypText);
  const ColumnInfo cfar = Column(far, JET_coltypText);
  Record r;
  StoredValue v;
  ASSERT_EQ(r.parse(ByteView(reinterpret_cast<const std::byte*>(first.data()), first.size()), false),
            JET_errSuccess);
  for (const ColumnInfo* c : {&cfar, &c300, &c256, &c301, &c300}) {
    ASSERT_EQ(r.get(*c, false, 1, v), JET_errSuccess) << c->id;
  }
  ASSERT_EQ(r.get(c256, false, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "a");
  ASSERT_EQ(r.get(c300, false, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "bb");
  ASSERT_EQ(r.get(cfar, false, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "far");
  ASSERT_EQ(r.get(c301, false, 1, v), JET_errSuccess);
  EXPECT_EQ(v.kind, ValueKind::kNull);

  ASSERT_EQ(r.parse(ByteView(reinterpret_cast<const std::byte*>(second.data()), second.size()), false),
            JET_errSuccess);
  std::uint32_t count = 9;
  ASSERT_EQ(r.get(c256, false, 1, v, &count), JET_errSuccess);
  EXPECT_EQ(v.kind, ValueKind::kNull) << "row one's value of 256 leaked into row two";
  EXPECT_EQ(count, 0u);
  ASSERT_EQ(r.get(cfar, false, 1, v), JET_errSuccess);
  EXPECT_EQ(v.kind, ValueKind::kNull);
  ASSERT_EQ(r.get(c300, false, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "second");

  // Many rows in turn, each holding a different column: every row sees
  // exactly its own.
  for (std::uint16_t row = 0; row < 300; ++row) {
    const auto bytes = taggedOnly({{static_cast<std::uint16_t>(256 + row % 40), "v"}});
    ASSERT_EQ(r.parse(ByteView(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()), false),
              JET_errSuccess);
    for (std::uint16_t id = 256; id < 296; ++id) {
      ASSERT_EQ(r.get(Column(id, JET_coltypText), false, 1, v), JET_errSuccess);
      EXPECT_EQ(v.kind == ValueKind::kNull, id != 256 + row % 40) << "row " << row << " id " << id;
    }
  }
}

TEST(RecordDerivedTable, TemplateColumnsAreTheOnesWithTheDerivedBit) {
  // Tagged 256 twice: first the template's (derived bit), then the table's own.
  std::vector<std::uint8_t> bytes = {0, 127, 4, 0};
  const std::vector<std::uint8_t> tagged = {0, 1, 8, 0x80, 0, 1, 9, 0, 'T', 'O'};
  bytes.insert(bytes.end(), tagged.begin(), tagged.end());
  Record r;
  ASSERT_EQ(r.parse(ByteView(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()), false),
            JET_errSuccess);
  ColumnInfo inherited = Column(256, JET_coltypText);
  inherited.from_template = true;
  const ColumnInfo own = Column(256, JET_coltypText);
  StoredValue v;
  ASSERT_EQ(r.get(inherited, true, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "T");
  ASSERT_EQ(r.get(own, true, 1, v), JET_errSuccess);
  EXPECT_EQ(Text(v), "O");
}

}  // namespace
}  // namespace ese
