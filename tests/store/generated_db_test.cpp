// SPDX-License-Identifier: Apache-2.0
// The whole read through the real engine on databases from make-contacts-db,
// the loaded list compared with the generator's own dump of what it stored
// (and on a database written by Windows without a contact table).
// Expected texts are made here independently of the reader: UTF-16 through
// iconv, dates through timegm/gmtime.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "ese_dump.h"
#include "file_io.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "store/error_line.h"
#include "base/temp_folder.h"
#include "test_paths.h"
#include "caption_row.h"

namespace corvadex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace fs = std::filesystem;

// One folder for the suite's databases, which are written once and used
// by its tests; made on first use, removed after the suite.
std::unique_ptr<TempFolder>& suiteDir() {
  static std::unique_ptr<TempFolder> dir;
  return dir;
}
fs::path Folder() {
  if (!suiteDir()) suiteDir() = std::make_unique<TempFolder>();
  return suiteDir()->path();
}

struct Generated {
  std::string db;
  Dump dump;
};

// Writes a database with make-contacts-db and reads its dump.
Generated generate(const std::string& name, const std::string& options) {
  const fs::path db = Folder() / (name + ".edb");
  const fs::path expected = Folder() / (name + ".json");
  if (!fs::exists(db)) {
    const std::string command = std::string(CORVADEX_BIN_DIR) + "/make-contacts-db " + options +
                                " --expected " + expected.string() + " " + db.string();
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
  }
  return {db.string(), readDump(expected.string())};
}

std::string utf8(const std::vector<unsigned char>& utf16) {
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  std::string out(utf16.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(reinterpret_cast<const char*>(utf16.data()));
  std::size_t inLeft = utf16.size() & ~std::size_t{1};
  char* o = out.data();
  std::size_t outLeft = out.size();
  const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) throw std::runtime_error("not UTF-16");
  out.resize(out.size() - outLeft);
  return out;
}

std::string dateText(const std::vector<unsigned char>& bytes, const char* pattern) {
  if (bytes.size() != 8) return "";
  double days;
  std::memcpy(&days, bytes.data(), 8);
  const auto seconds = static_cast<std::time_t>(std::trunc(days) - 25569.0) * 86400;
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  char text[32];
  std::strftime(text, sizeof text, pattern, &tm);
  return text;
}

struct ExpectedRead {
  std::vector<std::vector<std::string>> rows;  // 33 values each
  std::size_t truncatedShortTexts = 0;
};

const DumpTable& contactTable(const Dump& dump) {
  for (const auto& t : dump.tables)
    if (t.name.starts_with("SimpleContact-")) return t;
  throw std::runtime_error("no contact table in the dump");
}

ExpectedRead expect(const DumpTable& table, const char* datePattern = "%Y-%m-%d") {
  ExpectedRead e;
  for (const auto& row : table.rows) {
    auto& values = e.rows.emplace_back();
    for (const auto& column : kContactColumns) {
      const auto it = row.find(std::string(column.name));
      if (it == row.end() || !it->second || it->second->empty()) {
        values.emplace_back();
        continue;
      }
      const auto bytes = fromHex(it->second->front());
      switch (column.reader) {
        case ColumnReader::ShortText:
          if (bytes.size() > 256) {
            values.emplace_back();
            ++e.truncatedShortTexts;
          } else {
            values.push_back(utf8(bytes));
          }
          break;
        case ColumnReader::LongText:
          values.push_back(utf8(bytes));
          break;
        case ColumnReader::Date:
          values.push_back(dateText(bytes, datePattern));
          break;
      }
    }
  }
  return e;
}

std::vector<std::string> names(const Dump& dump) {
  std::vector<std::string> names;
  for (const auto& t : dump.tables) names.push_back(t.name);
  return names;
}

class GeneratedDbTest : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { suiteDir().reset(); }

  std::string engineLine(std::string_view prefix, ese::JET_ERR code) {
    return errorLine(prefix, code, JetErrorText(jet, code));
  }

  void expectList(const ExpectedRead& expected) {
    ASSERT_EQ(list.count(), expected.rows.size());
    for (std::size_t r = 0; r < expected.rows.size(); ++r) {
      const ContactRow& row = list.item(r);
      ASSERT_TRUE(row.hasData());
      ASSERT_EQ(row.subItemCount(), 4u);
      for (std::size_t c = 0; c < kContactColumnCount; ++c)
        ASSERT_EQ(row.Value(kContactColumns[c]), expected.rows[r][c])
            << "row " << r << " column " << kContactColumns[c].name;
    }
  }

  void prefill() { corvadex::testing::addCaptionRow(list, "from before"); }
  void expectPrefillKept() {
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.item(0).Caption(), "from before");
  }

  ese::EngineJet jet;
  LineLog log;
  ContactList list;
  FixedShortDateFormat dates{"%Y-%m-%d"};
  ContactStoreReader reader{jet, log, list, dates};
};

TEST_F(GeneratedDbTest, GoodReadLoadsEveryValueOfEveryRowInWalkOrder) {
  const Generated g = generate("good", "--count 300 --seed 7");
  const ExpectedRead expected = expect(contactTable(g.dump));
  reader.ReadDatabase(g.db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192"));
  EXPECT_THAT(reader.TableNames(), ElementsAreArray(names(g.dump)));
  expectList(expected);

  // The data must hold what this test is about.
  bool nonBmp = false, longNotes = false, bothDates = false;
  for (const auto& row : expected.rows) {
    for (const auto& v : row)
      for (unsigned char ch : v) nonBmp |= ch >= 0xF0;
    longNotes |= row[32].size() > 2000;
    bothDates |= !row[18].empty() && !row[20].empty();
  }
  EXPECT_TRUE(nonBmp);
  EXPECT_TRUE(longNotes);
  EXPECT_TRUE(bothDates);
}

TEST_F(GeneratedDbTest, EveryPageSizeIsReportedAndRead) {
  for (const char* size : {"4096", "16384", "32768"}) {
    SCOPED_TRACE(size);
    const Generated g = generate(std::string("page") + size,
                                 std::string("--count 40 --page-size ") + size);
    LineLog lines;
    ContactStoreReader r(jet, lines, list, dates);
    r.ReadDatabase(g.db);
    EXPECT_THAT(lines.Lines(), ElementsAre("database page size " + std::string(size)));
    expectList(expect(contactTable(g.dump)));
  }
}

TEST_F(GeneratedDbTest, ShortTextOf129CharactersIsEmptiedWithItsLineAndTheRowLoaded) {
  const Generated g = generate("longshort", "--count 3 --long-short-text");
  const ExpectedRead expected = expect(contactTable(g.dump));
  ASSERT_EQ(expected.truncatedShortTexts, 1u);
  reader.ReadDatabase(g.db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192",
                                       engineLine("JetRetrieveColumn ERROR ", 1006)));
  expectList(expected);
}

TEST_F(GeneratedDbTest, EmptyContactTableSaysSoAndEmptiesTheList) {
  const Generated g = generate("empty", "--empty");
  prefill();
  reader.ReadDatabase(g.db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192", "The database is empty"));
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(GeneratedDbTest, MissingColumnGivesItsLineAndLeavesTheListAlone) {
  struct Case {
    const char* column;
    const char* prefix;
  };
  for (const Case c : {Case{"NickName", "JetGetTableColumnInfo ERROR"},
                       Case{"MiddleName", "JetGetTableColumnInfo ERROR"},
                       Case{"HomePhone", "JetGetTableColumnInfo ERROR "},
                       Case{"Comments", "JetGetTableColumnInfo ERROR "}}) {
    SCOPED_TRACE(c.column);
    const Generated g =
        generate(std::string("without") + c.column, std::string("--count 5 --without-column ") + c.column);
    LineLog lines;
    ContactList kept;
    corvadex::testing::addCaptionRow(kept, "from before");
    ContactStoreReader r(jet, lines, kept, dates);
    r.ReadDatabase(g.db);
    EXPECT_THAT(lines.Lines(), ElementsAre("database page size 8192",
                                           engineLine(c.prefix, ese::JET_errColumnNotFound)));
    ASSERT_EQ(kept.count(), 1u);
    EXPECT_EQ(kept.item(0).Caption(), "from before");
  }
}

TEST_F(GeneratedDbTest, NoContactTableIsReportedByTheOpenOfTheEmptyName) {
  const Generated g = generate("nocontacts", "--no-contact-table");
  prefill();
  reader.ReadDatabase(g.db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192",
                                       engineLine("JetOpenTable ERROR ", ese::JET_errInvalidName)));
  expectPrefillKept();
  // The same for a database written by Windows, its tables found in its
  // catalogue's order.
  reader.ReadDatabase(eseSample("text"));
  EXPECT_THAT(reader.TableNames(), ElementsAre("MSysObjects", "MSysObjectsShadow", "MSysObjids",
                                               "MSysLocales", "text"));
  ASSERT_EQ(log.Lines().size(), 4u);
  EXPECT_EQ(log.Lines()[2], "database page size 4096");
  EXPECT_EQ(log.Lines()[3], engineLine("JetOpenTable ERROR ", ese::JET_errInvalidName));
  expectPrefillKept();
}

TEST_F(GeneratedDbTest, OfTwoContactTablesTheFirstInTheCatalogueIsRead) {
  const Generated g = generate("two", "--count 6 --two-contact-tables");
  reader.ReadDatabase(g.db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192"));
  expectList(expect(contactTable(g.dump)));
}

TEST_F(GeneratedDbTest, TableNameOver256BytesEndsTheScanKeepingTheNamesBefore) {
  const Generated g = generate("longname", "--count 4 --long-table-name");
  std::vector<std::string> before;
  for (const auto& name : names(g.dump)) {
    if (name.size() > 256) break;
    before.push_back(name);
  }
  ASSERT_LT(before.size(), g.dump.tables.size());
  reader.ReadDatabase(g.db);
  ASSERT_GE(log.Lines().size(), 2u);
  EXPECT_EQ(log.Lines()[1], engineLine("eERROR ", ese::JET_wrnBufferTruncated));
  EXPECT_THAT(reader.TableNames(), ElementsAreArray(before));
}

TEST_F(GeneratedDbTest, TwoReadsInARowLogBothListTheSecond) {
  const Generated first = generate("first", "--count 120 --seed 3");
  const Generated second = generate("second", "--count 17 --seed 4 --page-size 4096");
  reader.ReadDatabase(first.db);
  ASSERT_EQ(list.count(), 120u);
  reader.ReadDatabase(second.db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192", "database page size 4096"));
  EXPECT_THAT(reader.TableNames(), ElementsAreArray(names(second.dump)));  // scanned afresh
  expectList(expect(contactTable(second.dump)));
  // And back: the same file read again gives the same rows.
  reader.ReadDatabase(first.db);
  expectList(expect(contactTable(first.dump)));
}

// A million rows holding only their key, some thirty bytes of file each:
// the list keeps each in a few dozen bytes, so the whole table is read and
// stays far inside the memory bound (8 bytes a file byte). A row costing
// hundreds of bytes, as separately allocated texts would, fails this.
TEST_F(GeneratedDbTest, AMillionNearlyEmptyRowsAreReadWithinTheMemoryBound) {
  constexpr std::size_t kRows = 1000000;
  const std::string db = (Folder() / "bare.edb").string();
  const std::string command = std::string(CORVADEX_BIN_DIR) + "/make-contacts-db --bare-rows --count " +
                              std::to_string(kRows) + " " + db;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::uint64_t size = fs::file_size(db);

  reader.ReadDatabase(db);
  EXPECT_THAT(log.Lines(), ElementsAre("database page size 8192"));
  ASSERT_EQ(list.count(), kRows);
  EXPECT_LE(list.heapBytes(), 2 * size);
  EXPECT_LE(list.heapBytes(), kRows * 48);
  EXPECT_FALSE(list.item(kRows - 1).recordKey().empty());
}

TEST_F(GeneratedDbTest, CommandLineWritesTheLogToStandardErrorAndTheRowsToStandardOutput) {
  const Generated g = generate("cli", "--count 80 --seed 11 --long-short-text");
  const fs::path out = Folder() / "cli.out";
  const fs::path err = Folder() / "cli.err";
  const std::string command = "LC_ALL=C " + std::string(CORVADEX_BIN_DIR) + "/corvadex-cli read " +
                              g.db + " >" + out.string() + " 2>" + err.string();
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);  // the error line of the over-long value

  EXPECT_EQ(readFile(err.string()), "database page size 8192\n" +
                            engineLine("JetRetrieveColumn ERROR ", 1006) + "\n");

  std::string expected;
  for (const auto& row : expect(contactTable(g.dump), "%m/%d/%Y").rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c) expected += '\t';
      for (char ch : row[c]) {
        switch (ch) {
          case '\t': expected += "\\t"; break;
          case '\n': expected += "\\n"; break;
          case '\r': expected += "\\r"; break;
          case '\\': expected += "\\\\"; break;
          default: expected += ch;
        }
      }
    }
    expected += '\n';
  }
  EXPECT_EQ(readFile(out.string()), expected);
}

}  // namespace
}  // namespace corvadex::testing
