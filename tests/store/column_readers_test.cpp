// SPDX-License-Identifier: Apache-2.0
// The three column readers on one row of a scripted table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "reader_fixture.h"

namespace corvadex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ColumnReadersTest : public ReaderTest {
 protected:
  void SetUp() override {
    table = &jet.addTable("T", {"A", "B", "C"});
    table->rows.emplace_back();
  }

  // Puts `value` into column A of the only row, positions a cursor on it.
  void Put(Value value) {
    table->rows[0]["A"] = std::move(value);
    ese::JET_TABLEID id = 0;
    ASSERT_EQ(jet.OpenTable(0x5E5, 1, "T", nullptr, 0, ese::JET_bitTableReadOnly, &id), 0);
    ASSERT_EQ(jet.move(0x5E5, id, ese::JET_MoveFirst, 0), 0);
    tableId = id;
    jet.retrieves.clear();
  }

  std::string Short() { return reader.RetrieveShortText(0x5E5, tableId, 1); }
  std::string Long() { return reader.RetrieveLongText(0x5E5, tableId, 1); }
  std::string Date() { return reader.RetrieveDate(0x5E5, tableId, 1); }

  FakeTable* table = nullptr;
  ese::JET_TABLEID tableId = 0;
};

TEST_F(ColumnReadersTest, NullGivesEmptyTextAndNoLineThroughEveryReader) {
  Put(std::nullopt);
  EXPECT_EQ(Short(), "");
  EXPECT_EQ(Long(), "");
  EXPECT_EQ(Date(), "");
  EXPECT_THAT(log.lines, IsEmpty());
  EXPECT_THAT(jet.retrieves, ElementsAre("T.A 256", "T.A 0 nobuffer", "T.A 8"));
}

TEST_F(ColumnReadersTest, ShortTextTakes128CharactersAnd129GiveTheTruncationLine) {
  const std::u16string exact(128, u'x');
  Put(utf16(exact));
  EXPECT_EQ(Short(), std::string(128, 'x'));
  EXPECT_THAT(log.lines, IsEmpty());

  Put(utf16(std::u16string(129, u'y')));
  EXPECT_EQ(Short(), "");
  EXPECT_THAT(log.lines, ElementsAre("JetRetrieveColumn ERROR 1006 - text of 1006"));
  EXPECT_THAT(jet.retrieves, ElementsAre("T.A 256"));
}

TEST_F(ColumnReadersTest, TextLengthIsTheReportedSizeHalvedWithoutLookingForATerminator) {
  Put(Bytes{'a', 0, 0, 0, 'b', 0, 'c'});  // an embedded NUL and an odd last byte
  EXPECT_EQ(Short(), std::string("a\0b", 3));
  EXPECT_EQ(Long(), std::string("a\0b", 3));
}

TEST_F(ColumnReadersTest, EveryCharacterSurvivesTheConversion) {
  // Cyrillic, CJK, an emoji (a surrogate pair) and a lone surrogate.
  std::u16string text = u"Ёж 漢字 \U0001F600 ";
  text.push_back(static_cast<char16_t>(0xD800));
  Put(utf16(text));
  const std::string expected = "Ёж 漢字 \U0001F600 \uFFFD";
  EXPECT_EQ(Short(), expected);
  EXPECT_EQ(Long(), expected);
}

TEST_F(ColumnReadersTest, LongTextProbesThenReadsExactlyTheReportedSize) {
  std::u16string notes;
  for (int i = 0; i < 5000; ++i) notes += u"line \U0001D11E\r\n";
  Put(utf16(notes));
  std::string expected;
  for (int i = 0; i < 5000; ++i) expected += "line \U0001D11E\r\n";
  EXPECT_EQ(Long(), expected);
  const std::string size = std::to_string(notes.size() * 2);
  EXPECT_THAT(jet.retrieves, ElementsAre("T.A 0 nobuffer", "T.A " + size));
  EXPECT_THAT(log.lines, IsEmpty());
}

TEST_F(ColumnReadersTest, LongTextZeroLengthValueIsEmptyWithOneCall) {
  Put(Bytes{});
  EXPECT_EQ(Long(), "");
  EXPECT_THAT(jet.retrieves, ElementsAre("T.A 0 nobuffer"));
  EXPECT_THAT(log.lines, IsEmpty());
}

TEST_F(ColumnReadersTest, LongTextFailureOfProbeOrSecondReadGivesOneLine) {
  Put(utf16(u"value"));
  jet.fail("JetRetrieveColumn A", -1022, 1);
  EXPECT_EQ(Long(), "");
  EXPECT_THAT(jet.retrieves, ElementsAre("T.A 0 nobuffer"));
  jet.fail("JetRetrieveColumn A", 1004, 3);  // a warning on the second read fails it
  EXPECT_EQ(Long(), "");
  EXPECT_THAT(log.lines, ElementsAre("JetRetrieveColumn ERROR -1022 - text of -1022",
                                     "JetRetrieveColumn ERROR 1004 - text of 1004"));
}

TEST_F(ColumnReadersTest, AColumnTheTableLacksGivesOneLineAndTheNextColumnIsRead) {
  Put(utf16(u"x"));
  table->rows[0]["B"] = utf16(u"next");
  EXPECT_EQ(reader.RetrieveShortText(0x5E5, tableId, 99), "");
  EXPECT_EQ(reader.RetrieveShortText(0x5E5, tableId, 2), "next");
  EXPECT_THAT(log.lines, ElementsAre("JetRetrieveColumn ERROR -1517 - text of -1517"));
}

TEST_F(ColumnReadersTest, DatesGiveTheDayInTheShortPatternWithoutTime) {
  Put(dateValue(0.0));
  EXPECT_EQ(Date(), "30.12.1899");
  Put(dateValue(29221.75));
  EXPECT_EQ(Date(), "01.01.1980");
  Put(dateValue(-1.25));  // the whole part is the day: 29 December, 06:00
  EXPECT_EQ(Date(), "29.12.1899");
  Put(dateValue(2958465.999));
  EXPECT_EQ(Date(), "31.12.9999");
  EXPECT_THAT(log.lines, IsEmpty());
}

TEST_F(ColumnReadersTest, ValuesThatAreNoCalendarDateGiveEmptyTextAndNoLine) {
  for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity(), 2958466.0, -693594.0, 1e300, -1e300,
                   -1e18}) {
    SCOPED_TRACE(v);
    Put(dateValue(v));
    EXPECT_EQ(Date(), "");
  }
  EXPECT_THAT(log.lines, IsEmpty());
}

TEST_F(ColumnReadersTest, DateStoredInFewerThanEightBytesIsEmptyAndLongerIsTruncation) {
  Put(Bytes{0, 0, 0, 0});
  EXPECT_EQ(Date(), "");
  Put(Bytes{});
  EXPECT_EQ(Date(), "");
  EXPECT_THAT(log.lines, IsEmpty());
  Put(Bytes(9, 0));
  EXPECT_EQ(Date(), "");
  EXPECT_THAT(log.lines, ElementsAre("JetRetrieveColumn ERROR 1006 - text of 1006"));
}

TEST_F(ColumnReadersTest, FirstDayOfYearOneIsADate) {
  Put(dateValue(-693593.0));
  EXPECT_EQ(Date(), "01.01.1");
}

}  // namespace
}  // namespace corvadex::testing
