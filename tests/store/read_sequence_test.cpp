// SPDX-License-Identifier: Apache-2.0
// The read sequence: the calls in their order with their arguments, the
// lines, and the teardown for a failure at each step and for exceptions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reader_fixture.h"
#include "caption_row.h"

namespace corvadex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class ReadSequenceTest : public ReaderTest {
 protected:
  void SetUp() override {
    contacts = &jet.addContactTable();
    contacts->rows.push_back(Contact({{"NickName", u"Bob"}, {"FirstName", u"Robert"}}));
    contacts->rows.push_back(Contact({{"NickName", u"Al"}, {"LastName", u"Smith"}}));
  }

  FakeTable* contacts = nullptr;

  // Two rows from an earlier read that a failing read must leave in place.
  void prefill() {
    ContactDraft row;
    row.setCaption("earlier");
    row.setHasData();
    list.Add(row);
    corvadex::testing::addCaptionRow(list, "earlier 2");
    jet.calls.clear();
  }

  void expectPrefillKept() const {
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.item(0).Caption(), "earlier");
    EXPECT_TRUE(list.item(0).hasData());
    EXPECT_EQ(list.item(1).Caption(), "earlier 2");
  }
};

TEST_F(ReadSequenceTest, GoodReadMakesEveryCallInOrderWithItsArguments) {
  reader.ReadDatabase("db.edb");

  std::vector<std::string> expected = {
      "JetGetDatabaseFileInfo(db.edb, 4, 17)",
      "log: database page size 8192",
      "JetGetDatabaseFileInfo(db.edb, 40, 14)",
      "JetSetSystemParameter(global, 0, 64, 8192, null)",
      "JetSetSystemParameter(global, 0, 34, 0, Off)",
      "JetCreateInstance(Corvadex)",
      "JetInit(16)",
      "JetBeginSession(16, null, null)",
      "JetAttachDatabase(1509, db.edb, 1)",
      "JetOpenDatabase(1509, db.edb, null, 0)",
      "JetOpenTable(MSysObjects, 4)",
      "JetGetTableColumnInfo(MSysObjects, Type, 28, 28, 0)",
      "JetGetTableColumnInfo(MSysObjects, Name, 28, 28, 0)",
      "JetMove(MSysObjects, first, 0)",
  };
  for (std::size_t i = 1; i < jet.catalogue.size(); ++i)
    expected.push_back("JetMove(MSysObjects, next, 0)");
  expected.push_back("JetMove(MSysObjects, next, 0)");  // the one that ends the walk
  expected.push_back("JetCloseTable(MSysObjects)");
  expected.push_back("JetOpenTable(SimpleContact-4711, 4)");
  for (const auto& column : kContactColumns)
    expected.push_back("JetGetTableColumnInfo(SimpleContact-4711, " + std::string(column.name) +
                       ", 28, 28, 0)");
  expected.push_back("BeginUpdate");
  expected.push_back("JetMove(SimpleContact-4711, first, 0)");
  expected.push_back("JetMove(SimpleContact-4711, next, 0)");
  expected.push_back("JetMove(SimpleContact-4711, next, 0)");
  expected.push_back("EndUpdate");
  expected.push_back("JetCloseTable(SimpleContact-4711)");
  expected.push_back("JetTerm(16)");
  EXPECT_THAT(jet.calls, ElementsAreArray(expected));

  EXPECT_THAT(log.lines, ElementsAre("database page size 8192"));
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(list.item(0).Caption(), "Bob");
  EXPECT_EQ(list.item(0).SubItem(0), "Robert");
  EXPECT_EQ(list.item(1).Caption(), "Al");
  EXPECT_EQ(list.item(1).SubItem(2), "Smith");
  EXPECT_EQ(jet.openTableCount(), 0u);
  EXPECT_THAT(reader.TableNames(), ElementsAre("MSysObjects", "SimpleContact-4711"));
}

TEST_F(ReadSequenceTest, PageSizeOfTheFileIsReportedAndSetForTheProcess) {
  jet.pageSize = 32768;
  reader.ReadDatabase("big.edb");
  EXPECT_EQ(log.lines.front(), "database page size 32768");
  EXPECT_TRUE(called("JetSetSystemParameter(global, 0, 64, 32768, null)"));
}

TEST_F(ReadSequenceTest, FileThatIsNoDatabaseGivesItsOneLineAndNoInstance) {
  prefill();
  jet.fail("JetGetDatabaseFileInfo", ese::JET_errInvalidDatabase);
  reader.ReadDatabase("notes.txt");
  EXPECT_THAT(log.lines, ElementsAre("ERROR JetGetDatabaseFileInfo -1028 - text of -1028"));
  EXPECT_THAT(jet.calls, ElementsAre("JetGetDatabaseFileInfo(notes.txt, 4, 17)",
                                     "log: ERROR JetGetDatabaseFileInfo -1028 - text of -1028"));
  expectPrefillKept();
}

TEST_F(ReadSequenceTest, FailedParameterSettingsStopBeforeAnyInstance) {
  jet.fail("JetSetSystemParameter 64", -1003);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines,
              ElementsAre("database page size 8192",
                          line("ERROR JetSetSystemParameter (JET_paramDatabasePageSize) ", -1003)));
  EXPECT_FALSE(called("JetCreateInstance"));
  EXPECT_FALSE(called("JetTerm"));

  FakeJet other;
  LineLog otherLog;
  ContactStoreReader second(other, otherLog, list, dates);
  other.fail("JetSetSystemParameter 34", 1);  // a warning is a failure too
  second.ReadDatabase("db.edb");
  EXPECT_THAT(otherLog.Lines(),
              ElementsAre("database page size 8192",
                          line("ERROR JetSetSystemParameter (JET_paramRecovery) ", 1)));
  EXPECT_FALSE(called("JetCreateInstance"));
  EXPECT_EQ(other.calls.back(), "JetSetSystemParameter(global, 0, 34, 0, Off)");
}

// Each setup step after the parameters: its line, then JetTerm, nothing else
// opened and the list as it was.
struct SetupFailure {
  const char* key;
  const char* lastCall;
  const char* prefix;
};

class SetupFailureTest : public ReadSequenceTest,
                         public ::testing::WithParamInterface<SetupFailure> {};

TEST_P(SetupFailureTest, LineThenTermAndListKept) {
  const SetupFailure& f = GetParam();
  prefill();
  jet.fail(f.key, -1022);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192", line(f.prefix, -1022)));
  const auto tail = callsFrom(f.lastCall);
  const std::string term = std::string(f.key) == "JetCreateInstance" ? "JetTerm(0)" : "JetTerm(16)";
  EXPECT_THAT(tail, ElementsAre(f.lastCall, "log: " + line(f.prefix, -1022), term));
  expectPrefillKept();
  EXPECT_EQ(jet.openTableCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EverySetupStep, SetupFailureTest,
    ::testing::Values(
        SetupFailure{"JetCreateInstance", "JetCreateInstance(Corvadex)", "ERROR JetCreateInstance "},
        SetupFailure{"JetInit", "JetInit(16)", "ERROR JetInit "},
        SetupFailure{"JetBeginSession", "JetBeginSession(16, null, null)",
                     "ERROR JetBeginSession "},
        SetupFailure{"JetAttachDatabase", "JetAttachDatabase(1509, db.edb, 1)",
                     "ERROR JetAttachDatabase "},
        SetupFailure{"JetOpenDatabase", "JetOpenDatabase(1509, db.edb, null, 0)",
                     "err JetOpenDatabase= "},
        SetupFailure{"JetOpenTable SimpleContact-4711", "JetOpenTable(SimpleContact-4711, 4)",
                     "JetOpenTable ERROR "}));

TEST_F(ReadSequenceTest, FailedCreateTerminatesWhatTheEngineLeftAndReportsBothLines) {
  jet.fail("JetCreateInstance", -1011);
  jet.fail("JetTerm", -1115);
  jet.instanceAfterFailedCreate = 77;
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192",
                                     "ERROR JetCreateInstance -1011 - text of -1011",
                                     "ERROR JetTerm -1115 - text of -1115"));
  EXPECT_EQ(jet.calls.back(), "log: ERROR JetTerm -1115 - text of -1115");
  EXPECT_TRUE(called("JetTerm(77)"));
}

TEST_F(ReadSequenceTest, NoContactTableOpensTheEmptyNameAndKeepsTheList) {
  FakeJet bare;
  bare.addTable("Folders", {"Id"});
  bare.addTable("simplecontact-1", {"Id"});
  RecordingLog bareLog(bare.calls);
  ContactStoreReader bareReader(bare, bareLog, list, dates);
  prefill();
  bareReader.ReadDatabase("db.edb");
  EXPECT_THAT(bareLog.lines,
              ElementsAre("database page size 8192", line("JetOpenTable ERROR ", -1002)));
  const auto it = std::find(bare.calls.begin(), bare.calls.end(), "JetOpenTable(, 4)");
  ASSERT_NE(it, bare.calls.end());
  EXPECT_THAT(std::vector<std::string>(it, bare.calls.end()),
              ElementsAre("JetOpenTable(, 4)", "log: " + line("JetOpenTable ERROR ", -1002),
                          "JetTerm(16)"));
  expectPrefillKept();
}

TEST_F(ReadSequenceTest, FailedTermAfterAGoodLoadIsTheLastLineAndTheListStaysFilled) {
  jet.fail("JetTerm", -1029);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines,
              ElementsAre("database page size 8192", "ERROR JetTerm -1029 - text of -1029"));
  EXPECT_THAT(callsFrom("EndUpdate"),
              ElementsAre("EndUpdate", "JetCloseTable(SimpleContact-4711)", "JetTerm(16)",
                          "log: ERROR JetTerm -1029 - text of -1029"));
  EXPECT_EQ(list.count(), 2u);
}

TEST_F(ReadSequenceTest, CloseTableStatusIsIgnored) {
  jet.fail("JetCloseTable", -1310);
  reader.ReadDatabase("db.edb");
  EXPECT_THAT(log.lines, ElementsAre("database page size 8192"));
  EXPECT_EQ(list.count(), 2u);
}

TEST_F(ReadSequenceTest, ExceptionInTheRowWalkEndsBracketClosesTableAndTerminates) {
  jet.throwOn("JetRetrieveColumn Comments", 2);
  EXPECT_THROW(reader.ReadDatabase("db.edb"), FakeFailure);
  EXPECT_THAT(callsFrom("EndUpdate"), ElementsAre("EndUpdate", "JetCloseTable(SimpleContact-4711)",
                                                  "JetTerm(16)"));
  EXPECT_EQ(jet.openTableCount(), 0u);
  ASSERT_EQ(list.count(), 1u);  // the row whose read failed half-way is not added
  EXPECT_TRUE(list.item(0).hasData());
  EXPECT_FALSE(list.updating());
}

TEST_F(ReadSequenceTest, ExceptionInTheBindingClosesTableAndTerminatesWithoutBracket) {
  jet.throwOn("JetGetTableColumnInfo Pager");
  EXPECT_THROW(reader.ReadDatabase("db.edb"), FakeFailure);
  EXPECT_THAT(callsFrom("JetGetTableColumnInfo(SimpleContact-4711, Pager, 28, 28, 0)"),
              ElementsAre("JetGetTableColumnInfo(SimpleContact-4711, Pager, 28, 28, 0)",
                          "JetCloseTable(SimpleContact-4711)", "JetTerm(16)"));
  EXPECT_FALSE(called("BeginUpdate"));
}

TEST_F(ReadSequenceTest, ExceptionInTheCatalogueScanClosesItAndTerminates) {
  jet.throwOn("JetRetrieveColumn Name", 2);
  EXPECT_THROW(reader.ReadDatabase("db.edb"), FakeFailure);
  EXPECT_THAT(callsFrom("JetCloseTable(MSysObjects)"),
              ElementsAre("JetCloseTable(MSysObjects)", "JetTerm(16)"));
  EXPECT_EQ(jet.openTableCount(), 0u);
}

TEST_F(ReadSequenceTest, ExceptionBeforeTheInstanceLeavesNothingToRelease) {
  jet.throwOn("JetSetSystemParameter 34");
  EXPECT_THROW(reader.ReadDatabase("db.edb"), FakeFailure);
  EXPECT_FALSE(called("JetTerm"));
}

TEST_F(ReadSequenceTest, FailingTermDuringAnExceptionIsLoggedAndTheFirstExceptionGoesOn) {
  jet.throwOn("JetOpenDatabase");
  jet.fail("JetTerm", -1029);
  EXPECT_THROW(reader.ReadDatabase("db.edb"), FakeFailure);
  EXPECT_EQ(log.lines.back(), "ERROR JetTerm -1029 - text of -1029");
}

TEST_F(ReadSequenceTest, TwoReadsEachWithItsOwnInstanceLogKeepsBothListHoldsTheSecond) {
  reader.ReadDatabase("db.edb");
  ASSERT_EQ(list.count(), 2u);
  // The same engine with other content and page size for the second read.
  jet.pageSize = 4096;
  contacts->rows.clear();
  contacts->rows.push_back(Contact({{"NickName", u"Zed"}, {"Comments", u"second"}}));
  reader.ReadDatabase("db.edb");

  EXPECT_THAT(log.lines, ElementsAre("database page size 8192", "database page size 4096"));
  std::vector<std::string> lifecycle;
  for (const auto& c : jet.calls)
    if (c.starts_with("JetCreateInstance") || c.starts_with("JetTerm") ||
        c.starts_with("JetSetSystemParameter(global, 0, 64"))
      lifecycle.push_back(c);
  EXPECT_THAT(lifecycle, ElementsAre("JetSetSystemParameter(global, 0, 64, 8192, null)",
                                     "JetCreateInstance(Corvadex)", "JetTerm(16)",
                                     "JetSetSystemParameter(global, 0, 64, 4096, null)",
                                     "JetCreateInstance(Corvadex)", "JetTerm(17)"));
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.item(0).Caption(), "Zed");
  EXPECT_EQ(list.item(0).data()->get(ContactField::Comments), "second");
}

}  // namespace
}  // namespace corvadex::testing
