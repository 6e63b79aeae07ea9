#include "export/csv_export.h"

#include <gtest/gtest.h>

#include "file_io.h"
#include "temp_dir.h"
#include "test_support.h"

namespace corvadex {
namespace {

using test::AddContact;
using test::ContactValues;
using test::DistinctValues;

std::string ToCsv(const ContactList& list) {
  StringSink sink;
  WriteContactsCsv(list, sink);
  return sink.Text();
}

std::string HeaderLine() {
  std::string header;
  for (const auto& column : kContactColumns) {
    if (!header.empty()) header += ',';
    header += column.xmlAttribute;
  }
  return header + "\r\n";
}

TEST(CsvExport, EmptyListGivesTheHeaderRowAlone) {
  ContactList list;
  EXPECT_EQ(ToCsv(list), HeaderLine());
}

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe) {
  ContactValues values{};
  values[0] = "plain";
  values[1] = "a,b";
  values[2] = "say \"hi\"";
  values[3] = "two\r\nlines";
  values[4] = "lone\nLF";
  values[5] = " spaced ";
  ContactList list;
  AddContact(list, values);
  AddContact(list, ContactValues{});
  const std::string expected = HeaderLine() +
                               "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"lone\nLF\", spaced " +
                               std::string(27, ',') + "\r\n" + std::string(32, ',') + "\r\n";
  EXPECT_EQ(ToCsv(list), expected);
}

// Python's csv module, an independent reader, gets every value back in its
// own column.
TEST(CsvExport, PythonCsvReadsEveryValueWhereItBelongs) {
  if (!test::PythonHasModule("csv")) GTEST_SKIP() << "no /usr/bin/python3";
  std::vector<ContactValues> contacts = {DistinctValues("first"), ContactValues{}, DistinctValues("third")};
  contacts[0][32] = "Notes, with \"quotes\";\r\nand lines\nand\ttabs \xF0\x9F\x98\x80";
  contacts[0][0] = "\"";
  contacts[2][5] = ",";
  ContactList list;
  for (const auto& c : contacts) AddContact(list, c);

  testing::TempDir dir;
  const std::string path = dir.File("contacts.csv");
  testing::WriteFile(path, ToCsv(list));
  const auto result = test::Run({CORVADEX_TEST_PYTHON, CORVADEX_TEST_SCRIPTS "/read_csv.py", path});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const auto rows = test::ParseKeyedHexLines(result.out);

  ASSERT_EQ(rows.size(), 1 + contacts.size());
  for (std::size_t c = 0; c < kContactColumnCount; ++c)
    EXPECT_EQ(rows[0].at(std::to_string(c)), kContactColumns[c].xmlAttribute);
  for (std::size_t r = 0; r < contacts.size(); ++r) {
    ASSERT_EQ(rows[r + 1].size(), kContactColumnCount) << "row " << r;
    for (std::size_t c = 0; c < kContactColumnCount; ++c)
      EXPECT_EQ(rows[r + 1].at(std::to_string(c)), contacts[r][c]) << "row " << r << " column " << c;
  }
}

}  // namespace
}  // namespace corvadex
