// SPDX-License-Identifier: Apache-2.0
// Finding contacts: folding of case and accents, and the find over the list
// (next, previous, wrapping, not found, a changed list).
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"
#include "contacts/contact_search.h"
#include "contacts/text_fold.h"

namespace corvadex {
namespace {

TEST(TextFold, IgnoresCaseAndAccentsAndKeepsTheRest) {
  const struct {
    const char* text;
    const char* folded;
  } cases[] = {
      {"Sørensen", "sorensen"},
      {"SØRENSEN", "sorensen"},
      {"Åsa Ångström", "asa angstrom"},
      {"Straße", "strasse"},
      {"Œuvre Æbelø", "oeuvre aebelo"},
      {"Łódź Dvořák Ştefan", "lodz dvorak stefan"},
      {"Jose\xCC\x81", "jose"},          // e + combining acute
      {"ΑΘΗΝΑ Москва", "αθηνα москва"},  // Greek and Cyrillic capitals
      {"a×b ÷ 日本 😀", "a×b ÷ 日本 😀"},  // no letters to fold
      {"bad \xFF\xC3 end", "bad \xFF\xC3 end"},  // invalid bytes kept
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(folded(c.text), c.folded) << c.text;
}

void Add(ContactList& list, const std::string& nick, const std::string& notes = "") {
  ContactDraft row;
  row.setCaption(nick);
  for (int i = 0; i < 4; ++i) row.addSubItem("");
  row.setField(ContactField::Comments, notes);
  row.setHasData();
  list.Add(row);
}

TEST(ContactSearch, FindsNextAndPreviousWrappingRoundTheList) {
  ContactList list;
  ContactSearch search(list);
  Add(list, "Anna Sørensen");
  Add(list, "Bob");
  Add(list, "Carl", "met at SORENSEN's");
  Add(list, "Dora");
  using D = FindDirection;
  using R = std::optional<std::size_t>;
  const struct {
    const char* text;
    R from;
    D direction;
    R expected;
  } cases[] = {
      {"sorensen", std::nullopt, D::Next, 0},
      {"sorensen", 0, D::Next, 2},
      {"sorensen", 2, D::Next, 0},   // wraps
      {"sorensen", 0, D::Previous, 2},  // wraps backwards
      {"sorensen", 2, D::Previous, 0},
      {"sorensen", std::nullopt, D::Previous, 2},
      {"BOB", 1, D::Next, 1},        // the row itself comes last
      {"dora", 3, D::Previous, 3},
      {"en's", std::nullopt, D::Next, 2},  // inside the notes
      {"carlmet", std::nullopt, D::Next, std::nullopt},  // never across values
      {"bobcarl", std::nullopt, D::Next, std::nullopt},  // nor across rows
      {"nobody", 1, D::Next, std::nullopt},
      {"", 0, D::Next, std::nullopt},
      {"bob", 9, D::Next, 1},        // a stale row starts from the top
  };
  for (const auto& c : cases)
    EXPECT_EQ(search.find(c.text, c.from, c.direction), c.expected) << c.text;

  // Past the first block of rows, both ways.
  for (int i = 4; i < 100; ++i) Add(list, "Row " + std::to_string(i));
  EXPECT_EQ(search.find("row 77", 0, D::Next), R(77));
  EXPECT_EQ(search.find("row 77", 10, D::Previous), R(77));
  EXPECT_EQ(search.find("row 5", 60, D::Next), R(5));
  EXPECT_EQ(search.find("row 5", 54, D::Previous), R(53));

  // A changed list is searched afresh.
  list.clear();
  EXPECT_EQ(search.find("bob", std::nullopt, D::Next), std::nullopt);
  Add(list, "Zoë");
  EXPECT_EQ(search.find("zoe", std::nullopt, D::Next), R(0));
}

// The row a find must give, by trying every row's values in turn.
std::optional<std::size_t> everyRowInTurn(const ContactList& list, const std::string& text,
                                          std::optional<std::size_t> from, FindDirection direction) {
  const std::string needle = folded(text);
  const std::size_t n = list.count();
  if (needle.empty() || n == 0) return std::nullopt;
  for (std::size_t step = 1; step <= n; ++step) {
    std::size_t row;
    if (direction == FindDirection::Next)
      row = from ? (*from + step) % n : step - 1;
    else
      row = from ? (*from + n - step) % n : n - step;
    for (const ContactColumn& column : kContactColumns)
      if (folded(list.item(row).Value(column)).find(needle) != std::string::npos) return row;
  }
  return std::nullopt;
}

TEST(ContactSearch, AnswersAsATryOfEveryRowWhetherTheBlockFiltersAreMadeOrNot) {
  ContactList list;
  const char* names[] = {"Sørensen", "Ångström", "Müller", "Straße", "Ørsted", "Zoë"};
  for (std::size_t i = 0; i < 7 * ContactSearch::kBlockRows + 5; ++i)
    Add(list, std::string(names[i % 6]) + " " + std::to_string(i * 7919 % 1000),
        i % 11 == 0 ? "notes " + std::to_string(i) : "");
  // Within an update bracket no filter is made: every block is folded by
  // the find itself. After it the filters skip blocks.
  list.BeginUpdate();
  ContactSearch search(list);
  const char* texts[] = {"sorensen", "STRASSE 9", "o", "1", "notes 1", "zoe 5", "angstrom 0",
                         "muller 99", "ß", "0notes", "nobody", "ss 6"};
  using D = FindDirection;
  for (const bool made : {false, true}) {
    if (made) {
      list.EndUpdate();
      search.waitUntilPrepared();
    }
    ASSERT_EQ(search.preparedBlocks(), made ? 8u : 0u);
    for (const char* text : texts)
      for (const std::optional<std::size_t> from : {std::optional<std::size_t>(), std::optional<std::size_t>(0),
                                                    std::optional<std::size_t>(31), std::optional<std::size_t>(100),
                                                    std::optional<std::size_t>(228)})
        for (const D d : {D::Next, D::Previous})
          EXPECT_EQ(search.find(text, from, d), everyRowInTurn(list, text, from, d))
              << text << " from " << from.value_or(999) << (d == D::Next ? " next" : " previous");
  }
  EXPECT_LT(search.heapBytes(), 16 * 1024u);  // the filters, not the folded texts
}

}  // namespace
}  // namespace corvadex
