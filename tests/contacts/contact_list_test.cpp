// SPDX-License-Identifier: Apache-2.0
// The contact list: rows and records, the update bracket and the selection.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"

namespace corvadex {
namespace {

using ::testing::ElementsAre;

class Recorder final : public ContactListObserver {
 public:
  void rowsAboutToChange() override { events.push_back("about"); }
  void rowsChanged() override { events.push_back("changed"); }
  void selectedRowChanged(std::optional<std::size_t> row) override {
    events.push_back(row ? "selected " + std::to_string(*row) : "unselected");
  }
  std::vector<std::string> events;
};

ContactRow& addContact(ContactList& list, const std::string& nick) {
  ContactRow& row = list.Add();
  row.setCaption(nick);
  row.addSubItem(nick + " first");
  auto data = std::make_unique<TContactData>();
  data->set(ContactField::Comments, nick + " notes");
  row.setData(std::move(data));
  return row;
}

TEST(ContactRow, CaptionSubItemsAndRecordValuesByColumn) {
  ContactList list;
  ContactRow& row = list.Add();
  row.setCaption("nick");
  row.addSubItem("first");
  row.addSubItem("");
  EXPECT_EQ(row.subItemCount(), 2u);
  EXPECT_EQ(row.SubItem(2), "");  // never added: empty
  EXPECT_THROW(row.SubItem(4), std::out_of_range);
  row.addSubItem("last");
  row.addSubItem("mail");
  EXPECT_THROW(row.addSubItem("fifth"), std::out_of_range);
  EXPECT_EQ(row.Value(kContactColumns[5]), "");  // no record yet
  auto data = std::make_unique<TContactData>();
  data->set(ContactField::HomePhone, "123");
  data->set(ContactField::Comments, "notes");
  row.setData(std::move(data));
  std::vector<std::string> values;
  for (const auto& column : kContactColumns) values.emplace_back(row.Value(column));
  EXPECT_EQ(values[0], "nick");
  EXPECT_EQ(values[1], "first");
  EXPECT_EQ(values[3], "last");
  EXPECT_EQ(values[4], "mail");
  EXPECT_EQ(values[5], "123");
  EXPECT_EQ(values[32], "notes");
  EXPECT_EQ(row.data()->HomePhone(), "123");
  EXPECT_EQ(row.data()->WorkPhone(), "");
}

TEST(ContactRow, RowsSurviveTheListGrowing) {
  ContactList list;
  for (int i = 0; i < 1000; ++i) addContact(list, "n" + std::to_string(i));
  ASSERT_EQ(list.count(), 1000u);
  EXPECT_EQ(list.item(0).Caption(), "n0");
  EXPECT_EQ(list.item(999).SubItem(0), "n999 first");
  EXPECT_EQ(list.item(517).data()->Comments(), "n517 notes");
  EXPECT_THROW(list.item(1000), std::out_of_range);
}

TEST(ContactList, OneNotificationPerOutermostBracket) {
  ContactList list;
  Recorder r;
  list.addObserver(&r);
  list.addObserver(&r);  // added once only
  list.BeginUpdate();
  list.BeginUpdate();
  addContact(list, "a");
  addContact(list, "b");
  list.clear();
  addContact(list, "c");
  list.EndUpdate();
  EXPECT_TRUE(list.updating());
  list.EndUpdate();
  EXPECT_FALSE(list.updating());
  list.EndUpdate();  // unbalanced: ignored
  EXPECT_THAT(r.events, ElementsAre("about", "changed"));
  r.events.clear();
  addContact(list, "outside");
  EXPECT_THAT(r.events, ElementsAre("about", "changed"));
  list.removeObserver(&r);
  addContact(list, "unheard");
  EXPECT_EQ(r.events.size(), 2u);
  EXPECT_EQ(list.count(), 3u);
}

TEST(ContactList, AtMostOneSelectedRowAndClearingUnselects) {
  ContactList list;
  addContact(list, "a");
  addContact(list, "b");
  Recorder r;
  list.addObserver(&r);
  list.setSelected(0, true);
  list.setSelected(1, true);
  list.setSelected(1, true);   // no change, no event
  list.setSelected(0, false);  // not the selected one: no change
  EXPECT_EQ(list.selected(), 1u);
  EXPECT_THROW(list.setSelected(2, true), std::out_of_range);
  list.clear();
  EXPECT_FALSE(list.selected());
  list.clearSelection();  // nothing selected: no event
  list.selectFirst();     // no rows: nothing to select
  addContact(list, "c");
  addContact(list, "d");
  list.setSelected(1, true);
  list.selectFirst();
  list.selectFirst();  // already the first: no event
  EXPECT_EQ(list.selected(), 0u);
  EXPECT_THAT(r.events, ElementsAre("selected 0", "selected 1", "about", "changed", "unselected",
                                    "about", "changed", "about", "changed", "selected 1",
                                    "selected 0"));
  list.removeObserver(&r);
}

TEST(ContactList, RunningCountOfHeldBytesMatchesTheRowsAndClearingFreesThem) {
  ContactList list;
  // Rows with and without a record, texts inside and beyond a string's own
  // buffer, and the row vector growing past its capacity.
  for (int i = 0; i < 100; ++i) {
    if (i % 3 == 0)
      list.Add().setCaption(std::string(static_cast<std::size_t>(i), 'c'));
    else
      addContact(list, std::string(static_cast<std::size_t>(i % 40), 'x'));
    ASSERT_EQ(list.heldBytes(), list.heapBytes()) << "after row " << i;
  }
  EXPECT_GT(list.heapBytes(), 66 * sizeof(TContactData));
  list.setSelected(99, true);
  for (int i = 0; i < 3; ++i) {
    const std::size_t before = list.heapBytes();
    list.removeLast();
    EXPECT_EQ(list.heldBytes(), list.heapBytes());
    EXPECT_LT(list.heapBytes(), before);
  }
  EXPECT_EQ(list.count(), 97u);
  EXPECT_FALSE(list.selected());
  list.clear();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.heapBytes(), 0u);
  EXPECT_EQ(list.heldBytes(), 0u);
}

TEST(PackedTexts, SlotsKeepTheirTextsAndOutOfRangeSlotsThrow) {
  PackedTexts<3> texts;
  texts.set(2, "two");
  texts.set(0, std::string("ze\0ro", 5));
  EXPECT_EQ(texts.get(0), std::string("ze\0ro", 5));
  EXPECT_EQ(texts.get(1), "");
  EXPECT_EQ(texts.get(2), "two");
  texts.compact();
  EXPECT_EQ(texts.get(2), "two");
  EXPECT_THROW(texts.get(3), std::out_of_range);
  EXPECT_THROW(texts.set(3, "x"), std::out_of_range);
}

}  // namespace
}  // namespace corvadex
