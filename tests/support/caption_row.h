// SPDX-License-Identifier: Apache-2.0
// A row of nothing but a caption: the rows a test puts in a list to see them
// kept or replaced.
#pragma once

#include <string_view>

#include "contacts/contact_list.h"

namespace corvadex::testing {

inline const ContactRow& addCaptionRow(ContactList& list, std::string_view caption) {
  ContactDraft draft;
  draft.setCaption(caption);
  return list.Add(draft);
}

}  // namespace corvadex::testing
