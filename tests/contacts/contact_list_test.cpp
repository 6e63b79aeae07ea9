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
#include "caption_row.h"

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

void addContact(ContactList& list, const std::string& nick) {
  ContactDraft row;
  row.setCaption(nick);
  row.addSubItem(nick + " first");
  row.setField(ContactField::Comments, nick + " notes");
  list.Add(row);
}

// Every slot of a packed row reads back as drafted, whatever the mix of
// empty, binary and long texts, on both sides of the switch to 32-bit offsets.
TEST(ContactRow, EveryTextReadsBackAsDrafted) {
  struct Case {
    const char* what;
    std::size_t subItems;
    bool record;
    std::size_t commentBytes;  // the one long text
    std::size_t rowBytes;      // when set, the comment is sized for the row's texts to total this
  };
  const Case cases[] = {
      {"all slots, short texts", 4, true, 5, 0},
      {"two sub-items, no record", 2, false, 0, 0},
      {"texts of 64 KiB - 1: 16-bit offsets", 4, true, 0, 0xFFFF},
      {"texts of 64 KiB: 32-bit offsets", 4, true, 0, 0x10000},
      {"one long text", 3, true, 300000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> values(kContactColumnCount);
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      // Every third value empty, some holding a NUL byte.
      if (i % 3 != 1) values[i] = std::string(kContactColumns[i].name) + (i % 4 == 0 ? std::string(1, '\0') : "");
    }
    const std::string key("\0\1", 2), anniversary = "2001-02-03";
    values[32] = std::string(c.commentBytes, 'n');
    if (c.rowBytes != 0) {
      std::size_t others = key.size() + anniversary.size();
      for (std::size_t i = 0; i < 32; ++i) others += values[i].size();
      values[32] = std::string(c.rowBytes - others, 'n');
    }
    ContactDraft draft;
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      const ContactPlace& place = kContactColumns[i].place;
      if (place.kind == ContactPlace::Kind::Caption) draft.setCaption(values[i]);
      if (place.kind == ContactPlace::Kind::SubItem && place.subItem < c.subItems) draft.addSubItem(values[i]);
      if (place.kind == ContactPlace::Kind::Field && c.record) draft.setField(place.field, values[i]);
    }
    draft.setRecordKey(key);
    draft.setCalendarDate(ContactField::Anniversary, anniversary);

    ContactList list;
    const ContactRow& row = list.Add(draft);
    EXPECT_EQ(row.subItemCount(), c.subItems);
    EXPECT_EQ(row.hasData(), c.record);
    EXPECT_EQ(row.data().has_value(), c.record);
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      const ContactPlace& place = kContactColumns[i].place;
      const bool kept = (place.kind == ContactPlace::Kind::Caption) ||
                        (place.kind == ContactPlace::Kind::SubItem && place.subItem < c.subItems) ||
                        (place.kind == ContactPlace::Kind::Field && c.record);
      EXPECT_EQ(row.Value(kContactColumns[i]), kept ? values[i] : "") << kContactColumns[i].name;
    }
    EXPECT_EQ(row.recordKey(), key);
    EXPECT_EQ(row.calendarDate(ContactField::Anniversary), anniversary);
    EXPECT_EQ(row.calendarDate(ContactField::Birthdate), "");
    // All texts at once give what each gives alone.
    ContactRow::SlotTexts all;
    row.texts(all);
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      EXPECT_EQ(all[placeSlot(kContactColumns[i].place)], row.Value(kContactColumns[i])) << i;
    }
    EXPECT_EQ(all[kKeySlot], key);
    EXPECT_EQ(all[calendarDateSlot(ContactField::Anniversary)], anniversary);
    EXPECT_EQ(all[calendarDateSlot(ContactField::Birthdate)], "");
    EXPECT_THROW(row.SubItem(4), std::out_of_range);
    EXPECT_THROW((void)row.calendarDate(ContactField::Comments), std::invalid_argument);
    if (c.record) {
      EXPECT_EQ(row.data()->get(ContactField::Comments), values[32]);
    }
  }
  ContactDraft full;
  for (int i = 0; i < 4; ++i) full.addSubItem("s");
  EXPECT_THROW(full.addSubItem("fifth"), std::out_of_range);
}

TEST(ContactRow, RowsSurviveTheListGrowing) {
  ContactList list;
  for (int i = 0; i < 1000; ++i) addContact(list, "n" + std::to_string(i));
  ASSERT_EQ(list.count(), 1000u);
  EXPECT_EQ(list.item(0).Caption(), "n0");
  EXPECT_EQ(list.item(999).SubItem(0), "n999 first");
  EXPECT_EQ(list.item(517).data()->get(ContactField::Comments), "n517 notes");
  EXPECT_EQ(list.item(517).SubItem(1), "");
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

TEST(ContactList, TakingRowsIsOneChangeAndLeavesTheGiverEmpty) {
  ContactList shown, read;
  addContact(shown, "old");
  shown.setSelected(0, true);
  for (const char* nick : {"a", "b", "c"}) addContact(read, nick);
  read.setSourceIdentity("sig");
  Recorder r;
  shown.addObserver(&r);
  shown.takeRows(read);
  EXPECT_THAT(r.events, ElementsAre("about", "changed", "unselected"));
  ASSERT_EQ(shown.count(), 3u);
  EXPECT_EQ(shown.item(2).Caption(), "c");
  EXPECT_EQ(shown.item(1).data()->get(ContactField::Comments), "b notes");
  EXPECT_EQ(shown.sourceIdentity(), "sig");
  EXPECT_EQ(read.count(), 0u);
  EXPECT_EQ(read.sourceIdentity(), "");
  EXPECT_EQ(read.heapBytes(), 0u);
  // The rows taken live on when the giver gets rows of its own again.
  addContact(read, "d");
  EXPECT_EQ(shown.item(0).SubItem(0), "a first");
  shown.removeObserver(&r);
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

// A read checks its memory bound before each row with bytesToAdd; the
// figure must be exact, or the bound is overshot or a row refused for nothing.
TEST(ContactList, BytesToAddPredictsEveryRowsCostAndClearingGivesItBack) {
  ContactList list;
  // Rows with and without a record, texts from none to longer than a chunk,
  // the row array and the storage growing many times.
  for (std::size_t i = 0; i < 3000; ++i) {
    ContactDraft draft;
    draft.setCaption(std::string(i % 50, 'c'));
    if (i % 3 != 0) draft.setField(ContactField::Comments, std::string(i % 7 == 0 ? 5000 : i % 40, 'x'));
    if (i == 2000) draft.setField(ContactField::Comments, std::string(std::size_t{5} << 20, 'y'));
    const std::size_t before = list.heapBytes();
    const std::size_t predicted = list.bytesToAdd(draft);
    list.Add(draft);
    ASSERT_EQ(list.heapBytes() - before, predicted) << "row " << i;
  }
  list.clear();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.heapBytes(), 0u);
}

}  // namespace
}  // namespace corvadex
