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
  // One special character at every position, and a second one `gap` bytes
  // after it: an escape shifts what follows it in the output.
  for (std::size_t length = 1; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (std::size_t gap : {0, 1, 7, 15, 16, 17}) {
        for (char special : {'\t', '\n', '\r', '\\'}) {
          std::string value(length, 'a');
          value[at] = special;
          if (gap != 0 && at + gap < length) value[at + gap] = '\n';
          if (value[length - 1 - at] == 'a') value[length - 1 - at] = 'Z';  // needs nothing
          std::string expected;
          for (char c : value) {
            if (c == '\t' || c == '\n' || c == '\r' || c == '\\') {
              expected += '\\';
              expected += c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
            } else {
              expected += c;
            }
          }
          std::string out = "before:";
          appendEscaped(value, out);
          ASSERT_EQ(out, "before:" + expected) << "length " << length << " at " << at << " gap " << gap;
        }
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
