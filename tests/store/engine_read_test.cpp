// SPDX-License-Identifier: Apache-2.0
// The reader through the real engine on databases written by Windows (no
// contact table among them) and on a file that is no database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "store/error_line.h"
#include "test_paths.h"

namespace corvadex {
namespace {

using ::testing::ElementsAre;

using testing::DataFile;
using testing::EseSample;

class EngineReadTest : public ::testing::Test {
 protected:
  std::string EngineLine(std::string_view prefix, ese::JET_ERR code) {
    return ErrorLine(prefix, code, JetErrorText(jet, code));
  }

  ese::EngineJet jet;
  LineLog log;
  ContactList list;
  FixedShortDateFormat dates{"%Y-%m-%d"};
  ContactStoreReader reader{jet, log, list, dates};
};

TEST_F(EngineReadTest, CatalogueScanFindsTheTablesInCatalogueOrder) {
  list.Add().SetCaption("kept");
  reader.ReadDatabase(EseSample("text"));
  // The tables of text.edb in catalogue order, as its dump lists them.
  EXPECT_THAT(reader.TableNames(), ElementsAre("MSysObjects", "MSysObjectsShadow", "MSysObjids",
                                               "MSysLocales", "text"));
  // No contact table: the empty name is refused, and that is the only report.
  ASSERT_EQ(log.Lines().size(), 2u);
  EXPECT_EQ(log.Lines()[0], "database page size 4096");
  EXPECT_TRUE(log.Lines()[1].starts_with("JetOpenTable ERROR -"));
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Item(0).Caption(), "kept");
}

TEST_F(EngineReadTest, SecondReadOfAnotherFileStartsItsScanAfresh) {
  reader.ReadDatabase(EseSample("text"));
  reader.ReadDatabase(EseSample("basic"));
  EXPECT_THAT(reader.TableNames(), ElementsAre("MSysObjects", "MSysObjectsShadow", "MSysObjids",
                                               "MSysLocales", "basic"));
  EXPECT_EQ(log.Lines().size(), 4u);
  EXPECT_EQ(log.Lines()[2], "database page size 4096");
}

TEST_F(EngineReadTest, FileThatIsNoDatabaseGivesOneLine) {
  reader.ReadDatabase(DataFile("ese/README.md"));
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(log.Lines()[0].starts_with("ERROR JetGetDatabaseFileInfo -"));
  EXPECT_TRUE(reader.TableNames().empty());
}

}  // namespace
}  // namespace corvadex
