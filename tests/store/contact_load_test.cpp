// SPDX-License-Identifier: Apache-2.0
// The contact load: binding, the row walk, where every value lands, and the
// list's state after each way the load can end.
#include <optional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reader_fixture.h"
#include "caption_row.h"

namespace corvadex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class ContactLoadTest : public ReaderTest {
 protected:
  void SetUp() override { contacts = &jet.addContactTable(); }

  void prefill() {
    ContactDraft row;
    row.setCaption("earlier");
    row.setHasData();
    list.Add(row);
    jet.calls.clear();
  }

  // A row with every column set to a value naming its column; dates are
  // 1 January 1980 and 2 February 2002.
  static std::map<std::string, Value> fullRow(const std::u16string& tag) {
    std::map<std::string, Value> row;
    for (const auto& column : kContactColumns) {
      if (column.reader == ColumnReader::Date) continue;
      row[std::string(column.name)] =
          utf16(std::u16string(column.name.begin(), column.name.end()) + u" " + tag);
    }
    row["Birthdate"] = dateValue(29221.75);
    row["Anniversary"] = dateValue(37289.0);
    return row;
  }

  FakeTable* contacts = nullptr;
};

TEST_F(ContactLoadTest, EveryValueLandsInItsPlace) {
  contacts->rows.push_back(fullRow(u"ж"));
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192"));
  ASSERT_EQ(list.count(), 1u);
  const ContactRow& row = list.item(0);
  EXPECT_EQ(row.Caption(), "NickName ж");
  EXPECT_EQ(row.subItemCount(), 4u);
  EXPECT_EQ(row.SubItem(0), "FirstName ж");
  EXPECT_EQ(row.SubItem(1), "MiddleName ж");
  EXPECT_EQ(row.SubItem(2), "LastName ж");
  EXPECT_EQ(row.SubItem(3), "HomeEmail ж");
  const std::optional<TContactData> data = row.data();
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data->get(ContactField::HomePhone), "HomePhone ж");
  EXPECT_EQ(data->get(ContactField::WorkPhone), "WorkPhone ж");
  EXPECT_EQ(data->get(ContactField::MobilePhone), "MobilePhone ж");
  EXPECT_EQ(data->get(ContactField::OtherPhone), "OtherPhone ж");
  EXPECT_EQ(data->get(ContactField::WorkEmail), "WorkEmail ж");
  EXPECT_EQ(data->get(ContactField::OtherEmail), "OtherEmail ж");
  EXPECT_EQ(data->get(ContactField::HomeStreet), "HomeStreet ж");
  EXPECT_EQ(data->get(ContactField::HomeCity), "HomeCity ж");
  EXPECT_EQ(data->get(ContactField::HomeState), "HomeState ж");
  EXPECT_EQ(data->get(ContactField::HomeZipCode), "HomeZipCode ж");
  EXPECT_EQ(data->get(ContactField::HomeCountry), "HomeCountry ж");
  EXPECT_EQ(data->get(ContactField::HomeFax), "HomeFax ж");
  EXPECT_EQ(data->get(ContactField::HomeWebSite), "HomeWebSite ж");
  EXPECT_EQ(data->get(ContactField::Birthdate), "01.01.1980");
  EXPECT_EQ(data->get(ContactField::SpouseName), "SpouseName ж");
  EXPECT_EQ(data->get(ContactField::Anniversary), "02.02.2002");
  EXPECT_EQ(data->get(ContactField::CompanyName), "CompanyName ж");
  EXPECT_EQ(data->get(ContactField::JobTitle), "JobTitle ж");
  EXPECT_EQ(data->get(ContactField::WorkStreet), "WorkStreet ж");
  EXPECT_EQ(data->get(ContactField::WorkCity), "WorkCity ж");
  EXPECT_EQ(data->get(ContactField::WorkState), "WorkState ж");
  EXPECT_EQ(data->get(ContactField::WorkZipCode), "WorkZipCode ж");
  EXPECT_EQ(data->get(ContactField::WorkCountry), "WorkCountry ж");
  EXPECT_EQ(data->get(ContactField::Pager), "Pager ж");
  EXPECT_EQ(data->get(ContactField::WorkWebSite), "WorkWebSite ж");
  EXPECT_EQ(data->get(ContactField::UnresolvedEmail), "UnresolvedEmail ж");
  EXPECT_EQ(data->get(ContactField::OtherImEmail), "OtherImEmail ж");
  EXPECT_EQ(data->get(ContactField::Comments), "Comments ж");
  // What the exports for other address books take beside the shown texts.
  EXPECT_EQ(row.calendarDate(ContactField::Birthdate), "1980-01-01");
  EXPECT_EQ(row.calendarDate(ContactField::Anniversary), "2002-02-02");
  EXPECT_EQ(row.recordKey(), std::string(4, '\0'));
  EXPECT_EQ(list.sourceIdentity().substr(0, jet.signature.size()), jet.signature);
}

// A stored zero shows as the engine's epoch but is no calendar date; rows
// get keys of their own.
TEST_F(ContactLoadTest, ZeroDateHasNoCalendarDate) {
  contacts->rows.push_back({{"Birthdate", dateValue(0.0)}, {"Anniversary", dateValue(0.25)}});
  contacts->rows.push_back({{"Birthdate", dateValue(-1.0)}});
  reader.ReadDatabase("db.edb");
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(list.item(0).data()->get(ContactField::Birthdate), "30.12.1899");
  EXPECT_EQ(list.item(0).calendarDate(ContactField::Birthdate), "");
  EXPECT_EQ(list.item(0).calendarDate(ContactField::Anniversary), "");
  EXPECT_EQ(list.item(1).calendarDate(ContactField::Birthdate), "1899-12-29");
  EXPECT_NE(list.item(0).recordKey(), list.item(1).recordKey());
}

// A locale whose character set is not UTF-8 writes its date signs in that
// set; they reach the list as UTF-8.
TEST_F(ContactLoadTest, DatesOfAnEightBitLocaleReachTheListAsUtf8) {
  locale_t euc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "ja_JP.EUC-JP", static_cast<locale_t>(nullptr));
  if (euc == static_cast<locale_t>(nullptr))
    GTEST_SKIP() << "locale ja_JP.EUC-JP not installed (./dev test generates it)";
  freelocale(euc);
  LocaleShortDateFormat japanese{std::string("ja_JP.EUC-JP")};
  ContactStoreReader eucReader(jet, log, list, japanese);
  contacts->rows.push_back({{"Birthdate", dateValue(29221.75)}});
  eucReader.ReadDatabase("db.edb");
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.item(0).data()->get(ContactField::Birthdate), "1980\xE5\xB9\xB4" "01\xE6\x9C\x88" "01\xE6\x97\xA5");
}

TEST_F(ContactLoadTest, ColumnsAreReadInMasterOrderEachThroughItsReader) {
  contacts->rows.push_back(fullRow(u"x"));
  reader.ReadDatabase("db.edb");
  std::vector<std::string> expected;
  for (const auto& column : kContactColumns) {
    const std::string name = "SimpleContact-4711." + std::string(column.name);
    switch (column.reader) {
      case ColumnReader::ShortText:
        expected.push_back(name + " 256");
        break;
      case ColumnReader::Date:
        expected.push_back(name + " 8");
        break;
      case ColumnReader::LongText: {
        const std::size_t bytes = contacts->rows[0][std::string(column.name)]->size();
        expected.push_back(name + " 0 nobuffer");
        expected.push_back(name + " " + std::to_string(bytes));
        break;
      }
    }
  }
  std::vector<std::string> contactReads;
  for (const auto& r : jet.retrieves)
    if (r.starts_with("SimpleContact-")) contactReads.push_back(r);
  EXPECT_THAT(contactReads, ElementsAreArray(expected));
}

TEST_F(ContactLoadTest, RowsInWalkOrderEachWithItsOwnRecordNoLineAtTheEnd) {
  contacts->rows.push_back(Contact({{"NickName", u"Sam"}, {"HomePhone", u"1"}}));
  contacts->rows.push_back(Contact({{"NickName", u"Sam"}, {"HomePhone", u"2"}}));
  contacts->rows.push_back(Contact({{"NickName", u"Ann"}}));
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192"));
  ASSERT_EQ(list.count(), 3u);
  EXPECT_EQ(list.item(0).Caption(), "Sam");
  EXPECT_EQ(list.item(0).data()->get(ContactField::HomePhone), "1");
  EXPECT_EQ(list.item(1).Caption(), "Sam");
  EXPECT_EQ(list.item(1).data()->get(ContactField::HomePhone), "2");
  EXPECT_NE(list.item(0).data(), list.item(1).data());
  EXPECT_EQ(list.item(2).Caption(), "Ann");
}

TEST_F(ContactLoadTest, AllNullRowGivesEmptyRowAndEmptyRecordWithoutLines) {
  prefill();
  contacts->rows.emplace_back();
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192"));
  ASSERT_EQ(list.count(), 1u);
  for (const auto& column : kContactColumns) EXPECT_EQ(list.item(0).Value(column), "");
  EXPECT_TRUE(list.item(0).hasData());
  EXPECT_EQ(list.item(0).subItemCount(), 4u);
}

TEST_F(ContactLoadTest, TooLongShortTextEmptiesThatValueOnlyAndTheRowIsLoaded) {
  auto row = fullRow(u"v");
  row["FirstName"] = utf16(std::u16string(129, u'F'));
  row["Comments"] = utf16(std::u16string(3000, u'C'));  // long reader: no limit
  contacts->rows.push_back(row);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192",
                                     "JetRetrieveColumn ERROR 1006 - text of 1006"));
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.item(0).SubItem(0), "");
  EXPECT_EQ(list.item(0).SubItem(1), "MiddleName v");
  EXPECT_EQ(list.item(0).data()->get(ContactField::Comments), std::string(3000, 'C'));
}

TEST_F(ContactLoadTest, MissingColumnGivesOneLineAndLeavesTheListUntouched) {
  struct Case {
    const char* column;
    const char* line;
  };
  const Case cases[] = {
      {"NickName", "JetGetTableColumnInfo ERROR-1507 - text of -1507"},
      {"MiddleName", "JetGetTableColumnInfo ERROR-1507 - text of -1507"},
      {"FirstName", "JetGetTableColumnInfo ERROR -1507 - text of -1507"},
      {"HomePhone", "JetGetTableColumnInfo ERROR -1507 - text of -1507"},
      {"Comments", "JetGetTableColumnInfo ERROR -1507 - text of -1507"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    FakeJet fresh;
    FakeTable& table = fresh.addContactTable();
    std::erase(table.columns, std::string(c.column));
    table.rows.push_back(Contact({{"NickName", u"never read"}}));
    RecordingLog lines(fresh.calls);
    ContactList kept;
    corvadex::testing::addCaptionRow(kept, "earlier");
    ContactStoreReader loader(fresh, lines, kept, dates);
    loader.ReadDatabase("db.edb");
    EXPECT_THAT(lines.lines, ElementsAre("database page size 8192", c.line));
    const std::string lookup =
        "JetGetTableColumnInfo(SimpleContact-4711, " + std::string(c.column) + ", 28, 28, 0)";
    const auto it = std::find(fresh.calls.begin(), fresh.calls.end(), lookup);
    ASSERT_NE(it, fresh.calls.end());
    EXPECT_THAT(std::vector<std::string>(it, fresh.calls.end()),
                ElementsAre(lookup, std::string("log: ") + c.line,
                            "JetCloseTable(SimpleContact-4711)", "JetTerm(16)"));
    ASSERT_EQ(kept.count(), 1u);
    EXPECT_EQ(kept.item(0).Caption(), "earlier");
    EXPECT_TRUE(fresh.retrieves.empty() ||
                !fresh.retrieves.back().starts_with("SimpleContact-"));
  }
}

TEST_F(ContactLoadTest, EmptyTableSaysSoAndEmptiesTheList) {
  prefill();
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192", "The database is empty"));
  EXPECT_EQ(list.count(), 0u);
  EXPECT_THAT(callsFrom("BeginUpdate"),
              ElementsAre("BeginUpdate", "JetMove(SimpleContact-4711, first, 0)",
                          "log: The database is empty", "EndUpdate",
                          "JetCloseTable(SimpleContact-4711)", "JetTerm(16)"));
}

TEST_F(ContactLoadTest, FailedFirstMoveGivesItsLineAndAnEmptyList) {
  prefill();
  contacts->rows.push_back(Contact({{"NickName", u"x"}}));
  jet.fail("JetMove SimpleContact-4711 first", -1022);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines,
              ElementsAre("database page size 8192", "JetMove ERROR -1022 - text of -1022"));
  EXPECT_EQ(list.count(), 0u);
  EXPECT_THAT(callsFrom("EndUpdate"), ElementsAre("EndUpdate", "JetCloseTable(SimpleContact-4711)",
                                                  "JetTerm(16)"));
}

// The end of the table is no error, but a move that fails part-way must not
// let a shortened list pass for the whole table.
TEST_F(ContactLoadTest, AFailedNextMoveKeepsTheRowsReadAndSaysSo) {
  for (const char16_t* name : {u"a", u"b", u"c"})
    contacts->rows.push_back(Contact({{"NickName", name}}));
  jet.fail("JetMove SimpleContact-4711 next", -1022, 2);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192",
                                     "JetMove ERROR -1022 - text of -1022"));
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(list.item(1).Caption(), "b");
}

TEST_F(ContactLoadTest, FailedReadsOfOneRowEachGiveALineAndTheRestIsRead) {
  contacts->rows.push_back(fullRow(u"r"));
  jet.fail("JetRetrieveColumn HomeCity", -1022);
  jet.fail("JetRetrieveColumn Birthdate", -1517);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192",
                                     "JetRetrieveColumn ERROR -1022 - text of -1022",
                                     "JetRetrieveColumn ERROR -1517 - text of -1517"));
  const std::optional<TContactData> data = list.item(0).data();
  EXPECT_EQ(data->get(ContactField::HomeCity), "");
  EXPECT_EQ(data->get(ContactField::Birthdate), "");
  EXPECT_EQ(data->get(ContactField::HomeState), "HomeState r");
  EXPECT_EQ(data->get(ContactField::SpouseName), "SpouseName r");
}

// Rows whose texts take more memory than the file's size can explain (here
// no file: the bound is its 32 MiB allowance) end the read with the rows
// that fit, within the bound, and a line that says where the list ends.
TEST_F(ContactLoadTest, RowsPastTheMemoryBoundEndTheReadWithTheRowsThatFit) {
  const std::u16string notes(std::size_t{1} << 20, u'n');  // 1 MiB of UTF-8 a row
  for (int i = 0; i < 40; ++i) contacts->rows.push_back(Contact({{"NickName", u"n"}, {"Comments", notes}}));
  reader.ReadDatabase("no such file.edb");
  ASSERT_GT(list.count(), 20u);
  ASSERT_LT(list.count(), 32u);
  EXPECT_LE(list.heapBytes(), listByteLimit(0));
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192",
                                     tooManyRowsLine("SimpleContact-4711", list.count())));
  EXPECT_EQ(list.item(list.count() - 1).field(ContactField::Comments).size(), notes.size());
}

TEST_F(ContactLoadTest, ClearContactsRemovesEveryRow) {
  contacts->rows.push_back(Contact({{"NickName", u"a"}}));
  reader.ReadDatabase("db.edb");
  list.setSelected(0, true);
  reader.ClearContacts();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_FALSE(list.selected().has_value());
}

}  // namespace
}  // namespace corvadex::testing
