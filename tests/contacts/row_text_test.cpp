// SPDX-License-Identifier: Apache-2.0
// A contact row as one tab-separated line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contacts/row_text.h"
#include "caption_row.h"

namespace corvadex {
namespace {

TEST(RowText, SeparatorsAndBackslashesInsideValuesAreEscaped) {
  std::string out;
  appendEscaped("a\tb\nc\rd\\e", out);
  EXPECT_EQ(out, "a\\tb\\nc\\rd\\\\e");
  out.clear();
  appendEscaped("\\\\\t", out);
  EXPECT_EQ(out, "\\\\\\\\\\t");
  out.clear();
  appendEscaped("plain ж", out);
  EXPECT_EQ(out, "plain ж");
}

TEST(RowText, EscapesAreFoundAtEveryPositionOfLongValues) {
  for (std::size_t length = 1; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (char special : {'\t', '\n', '\r', '\\'}) {
        std::string value(length, 'a');
        value[at] = special;
        value[length - 1 - at] = 'Z';  // a neighbour that needs nothing
        std::string expected;
        for (char c : value) {
          if (c == special) {
            expected += '\\';
            expected += special == '\t' ? 't' : special == '\n' ? 'n' : special == '\r' ? 'r' : '\\';
          } else {
            expected += c;
          }
        }
        std::string out;
        appendEscaped(value, out);
        ASSERT_EQ(out, expected) << "length " << length << " at " << at;
      }
    }
  }
  std::string out;
  appendEscaped("\xC3\xA9\x89\x8A\x8D\xDC\t\xFF\x80\x09", out);  // bytes near the specials
  EXPECT_EQ(out, "\xC3\xA9\x89\x8A\x8D\xDC\\t\xFF\x80\\t");
}

TEST(RowText, ThirtyThreeValuesInMasterOrder) {
  ContactList list;
  ContactDraft row;
  row.setCaption("nick");
  row.addSubItem("first");
  row.addSubItem("");
  row.addSubItem("last");
  row.addSubItem("home@x");
  row.setField(ContactField::HomePhone, "1");
  row.setField(ContactField::WorkEmail, "w@x");
  row.setField(ContactField::Comments, "two\nlines");
  row.setHasData();
  list.Add(row);

  std::string out;
  appendRowLine(list.item(0), out);
  std::string expected = "nick\tfirst\t\tlast\thome@x\t1\t\tw@x";
  for (int i = 0; i < 25; ++i) expected += "\t";  // columns 8 to 33
  expected += "two\\nlines\n";
  EXPECT_EQ(out, expected);
}

TEST(RowText, RowWithoutRecordGivesEmptyRecordValues) {
  ContactList list;
  corvadex::testing::addCaptionRow(list, "only");
  std::string out;
  appendRowLine(list.item(0), out);
  EXPECT_EQ(out, "only" + std::string(32, '\t') + "\n");
}

}  // namespace
}  // namespace corvadex
