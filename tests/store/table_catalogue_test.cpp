// SPDX-License-Identifier: Apache-2.0
// The catalogue scan and the contact table choice.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reader_fixture.h"

namespace corvadex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CatalogueTest : public ReaderTest {
 protected:
  // Opens the database the way the read does and scans it.
  void scan() {
    ese::JET_SESID session = 0;
    ese::JET_DBID database = 0;
    ese::JET_INSTANCE instance = 0;
    ASSERT_EQ(jet.createInstance(&instance, "t"), 0);
    ASSERT_EQ(jet.beginSession(instance, &session, nullptr, nullptr), 0);
    ASSERT_EQ(jet.OpenDatabase(session, "db.edb", nullptr, &database, 0), 0);
    jet.calls.clear();
    reader.ListTables(session, database);
  }
};

TEST_F(CatalogueTest, TablesOnlyInWalkOrderDuplicatesKept) {
  jet.addTable("Folders", {"Id", "Name"});
  jet.addTable("SimpleContact-1", {"Id"});
  jet.catalogue.emplace_back(std::int16_t{3}, ascii("IndexName"));  // an index: skipped
  jet.catalogue.emplace_back(std::int16_t{1}, ascii("Folders"));
  scan();
  EXPECT_THAT(reader.TableNames(),
              ElementsAre("MSysObjects", "Folders", "SimpleContact-1", "Folders"));
  EXPECT_THAT(log.lines, IsEmpty());
  EXPECT_EQ(jet.calls.back(), "JetCloseTable(MSysObjects)");
  EXPECT_EQ(jet.openTableCount(), 0u);
  // Names are read only for table rows, into a 256-byte buffer; types into 2.
  std::size_t nameReads = 0, typeReads = 0;
  for (const auto& r : jet.retrieves) {
    if (r == "MSysObjects.Name 256") ++nameReads;
    if (r == "MSysObjects.Type 2") ++typeReads;
  }
  EXPECT_EQ(nameReads, 4u);
  EXPECT_EQ(typeReads, jet.catalogue.size());
}

TEST_F(CatalogueTest, NamesAreRawBytesOfTheReportedLength) {
  jet.catalogue.emplace_back(std::int16_t{1}, Bytes{'a', 0, 'b', 0xC3, 0xA9});
  scan();
  ASSERT_EQ(reader.TableNames().size(), 2u);
  EXPECT_EQ(reader.TableNames()[1], std::string("a\0b\xC3\xA9", 5));
}

TEST_F(CatalogueTest, NameOfExactly256BytesIsKeptLongerEndsTheScanKeepingEarlierNames) {
  jet.addTable(std::string(256, 'n'), {});
  jet.addTable("Before", {});
  jet.addTable(std::string(257, 'L'), {});
  jet.addTable("SimpleContact-after", {});
  scan();
  EXPECT_THAT(reader.TableNames(), ElementsAre("MSysObjects", std::string(256, 'n'), "Before"));
  EXPECT_THAT(log.lines, ElementsAre("eERROR 1006 - text of 1006"));
  EXPECT_EQ(jet.calls.back(), "JetCloseTable(MSysObjects)");
  EXPECT_EQ(contactTableName(reader.TableNames()), "");
}

TEST_F(CatalogueTest, FailureOfEachStepHasItsPrefixAndClosesTheCatalogue) {
  struct Case {
    const char* key;
    int nth;
    ese::JET_ERR status;
    const char* line;
    std::size_t namesKept;
  };
  const Case cases[] = {
      {"JetGetTableColumnInfo Type", 0, -1507, "ERROR-1507 - text of -1507", 0},
      {"JetGetTableColumnInfo Name", 0, -1507, "ERROR -1507 - text of -1507", 0},
      {"JetMove MSysObjects first", 0, -1603, "ERROR -1603 - text of -1603", 0},
      {"JetRetrieveColumn Type", 4, 1004, "ERROR 1004 - text of 1004", 1},
      {"JetRetrieveColumn Name", 2, -1022, "eERROR -1022 - text of -1022", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    FakeJet fresh;
    fresh.addTable("SimpleContact-1", {"Id"});
    LineLog lines;
    ContactStoreReader scanner(fresh, lines, list, dates);
    fresh.fail(c.key, c.status, c.nth);
    scanner.ListTables(0x5E5, 1);
    EXPECT_THAT(lines.Lines(), ElementsAre(c.line));
    EXPECT_EQ(scanner.TableNames().size(), c.namesKept);
    EXPECT_EQ(fresh.calls.back(), "JetCloseTable(MSysObjects)");
    EXPECT_EQ(fresh.openTableCount(), 0u);
  }
}

TEST_F(CatalogueTest, FailedOpenOfTheCatalogueEmptiesTheNamesAndClosesNothing) {
  jet.addTable("SimpleContact-1", {"Id"});
  scan();
  ASSERT_EQ(reader.TableNames().size(), 2u);
  jet.fail("JetOpenTable MSysObjects", -1305);
  scan();
  EXPECT_THAT(reader.TableNames(), IsEmpty());
  EXPECT_THAT(log.lines, ElementsAre("ERROR -1305 - text of -1305"));
  EXPECT_THAT(jet.calls, ElementsAre("JetOpenTable(MSysObjects, 4)",
                                     "log: ERROR -1305 - text of -1305"));
}

TEST_F(CatalogueTest, AnErrorOnMovingNextEndsTheWalkSilently) {
  jet.addTable("A", {});
  jet.addTable("B", {});
  jet.fail("JetMove MSysObjects next", -1022, 4);
  scan();
  EXPECT_THAT(reader.TableNames(), ElementsAre("MSysObjects", "A"));
  EXPECT_THAT(log.lines, IsEmpty());
}

TEST(ContactTableChoice, FirstNameBeginningWithThePrefixCaseSensitively) {
  using V = std::vector<std::string>;
  EXPECT_EQ(contactTableName(V{"MSysObjects", "SimpleContact-b", "SimpleContact-a"}),
            "SimpleContact-b");
  EXPECT_EQ(contactTableName(V{"simplecontact-x", "SIMPLECONTACT-y"}), "");
  EXPECT_EQ(contactTableName(V{"SimpleContact-"}), "SimpleContact-");
  EXPECT_EQ(contactTableName(V{"OldSimpleContact-1", "SimpleContact", "SimpleContact_1"}), "");
  EXPECT_EQ(contactTableName(V{}), "");
}

}  // namespace
}  // namespace corvadex::testing
