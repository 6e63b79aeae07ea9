// SPDX-License-Identifier: Apache-2.0
#include "export/csv_export.h"

#include "export/address_book_csv.h"

#include <gtest/gtest.h>

#include "file_io.h"
#include "base/temp_folder.h"
#include "test_support.h"

namespace corvadex {
namespace {

using test::addContact;
using test::ContactValues;
using test::distinctValues;

std::string toCsv(const ContactList& list) {
  StringSink sink;
  writeContactsCsv(list, sink);
  return sink.Text();
}

std::string headerLine() {
  std::string header;
  for (const auto& column : kContactColumns) {
    if (!header.empty()) header += ',';
    header += column.xmlAttribute;
  }
  return header + "\r\n";
}

TEST(CsvExport, EmptyListGivesTheHeaderRowAlone) {
  ContactList list;
  EXPECT_EQ(toCsv(list), headerLine());
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
  addContact(list, values);
  addContact(list, ContactValues{});
  const std::string expected = headerLine() +
                               "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"lone\nLF\", spaced " +
                               std::string(27, ',') + "\r\n" + std::string(32, ',') + "\r\n";
  EXPECT_EQ(toCsv(list), expected);
}

// Python's csv module, an independent reader, gets every value back in its
// own column.
TEST(CsvExport, PythonCsvReadsEveryValueWhereItBelongs) {
  if (!test::pythonHasModule("csv")) GTEST_SKIP() << "no /usr/bin/python3";
  std::vector<ContactValues> contacts = {distinctValues("first"), ContactValues{}, distinctValues("third")};
  contacts[0][32] = "Notes, with \"quotes\";\r\nand lines\nand\ttabs \xF0\x9F\x98\x80";
  contacts[0][0] = "\"";
  contacts[2][5] = ",";
  ContactList list;
  for (const auto& c : contacts) addContact(list, c);

  corvadex::TempFolder dir;
  const std::string path = dir.File("contacts.csv");
  testing::writeFile(path, toCsv(list));
  const auto result = test::Run({CORVADEX_TEST_PYTHON, CORVADEX_TEST_SCRIPTS "/read_csv.py", path});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const auto rows = test::parseKeyedHexLines(result.out);

  ASSERT_EQ(rows.size(), 1 + contacts.size());
  for (std::size_t c = 0; c < kContactColumnCount; ++c)
    EXPECT_EQ(rows[0].at(std::to_string(c)), kContactColumns[c].xmlAttribute);
  for (std::size_t r = 0; r < contacts.size(); ++r) {
    ASSERT_EQ(rows[r + 1].size(), kContactColumnCount) << "row " << r;
    for (std::size_t c = 0; c < kContactColumnCount; ++c)
      EXPECT_EQ(rows[r + 1].at(std::to_string(c)), contacts[r][c]) << "row " << r << " column " << c;
  }
}

// No value is dropped: each of the 33 values of a contact is found in the
// Google and the Outlook row, under its column or labelled in the notes;
// Outlook's file starts with the byte order mark, dates take each
// importer's form, and a stored zero date writes nothing.
TEST(AddressBookCsv, EveryValueLandsSomewhere) {
  ContactValues values = distinctValues("v");
  ContactList list;
  addContact(list, values, "1985-04-02");
  addContact(list, ContactValues{});
  for (AddressBookCsv layout : {AddressBookCsv::Google, AddressBookCsv::Outlook}) {
    StringSink sink;
    writeContactsAddressBookCsv(list, sink, layout);
    const std::string& text = sink.Text();
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0) == 0, layout == AddressBookCsv::Outlook);
    const std::string first = text.substr(0, text.find("\r\n,"));
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      if (kContactColumns[i].reader == ColumnReader::Date) continue;  // from the calendar date
      EXPECT_NE(first.find(values[i]), std::string::npos) << kContactColumns[i].name;
    }
    EXPECT_NE(first.find(layout == AddressBookCsv::Google ? ",1985-04-02," : ",4/2/1985,"), std::string::npos);
    const std::string empty(addressBookCsvHeaders(layout).size() - 1, ',');
    EXPECT_NE(text.find("\r\n" + empty + "\r\n"), std::string::npos) << "the empty contact's row";
  }
  StringSink outlook;
  writeContactsAddressBookCsv(list, outlook, AddressBookCsv::Outlook);
  EXPECT_NE(outlook.Text().find("v Comments\r\n\r\nNickname: v NickName\r\nWindows Live address: v UnresolvedEmail"
                                "\r\nOther IM address: v OtherImEmail\r\nWork web site: v WorkWebSite"),
            std::string::npos);
}

}  // namespace
}  // namespace corvadex
