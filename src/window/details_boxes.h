// SPDX-License-Identifier: Apache-2.0
// The details view's pages and boxes as data, free of any toolkit: each
// page's name and caption, and each box's place on its page, its label and
// the contact column it shows. Both views of the window make the details
// view from these tables.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "contacts/contact_columns.h"

namespace corvadex {

struct DetailsPage {
  std::string_view name;  // the page's name in the design
  const char* caption;    // its tab's caption in English, as the view translates it
};

inline constexpr std::size_t kDetailsPageCount = 5;
extern const std::array<DetailsPage, kDetailsPageCount> kDetailsPages;

// One box of the details view: where it stands and which contact column it
// shows (a name from the master table of contact columns).
struct DetailsBox {
  int page;                  // 0 " Contact " ... 4 " Notes "
  std::string_view name;     // the box's object name
  std::string_view caption;  // its label's caption (NUL-terminated); empty for the notes memo
  int labelLeft, labelTop;
  int left, top, width, height;
  std::string_view column;
};

inline constexpr std::size_t kDetailsBoxCount = 38;
extern const std::array<DetailsBox, kDetailsBoxCount> kDetailsBoxes;

// The contact column a box shows; throws for a name no column has.
const ContactColumn& columnOf(const DetailsBox& box);

}  // namespace corvadex
