// SPDX-License-Identifier: Apache-2.0
// Helpers for the export tests: contact lists filled by column (and, from
// run_program.h, running a helper program).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "contacts/contact_list.h"
#include "run_program.h"

namespace corvadex::test {

// U+FFFD, the replacement character, in UTF-8.
inline const std::string kFffd = "\xEF\xBF\xBD";

// The 33 values of one contact, in the master table's order.
using ContactValues = std::array<std::string, kContactColumnCount>;

// Appends a row holding `values`, each in the place its column belongs;
// the row is valid until the next row is added.
// The calendar dates ("YYYY-MM-DD") are the ones the exports for other
// address books write.
const ContactRow& addContact(ContactList& list, const ContactValues& values, std::string_view birthdate = "",
                             std::string_view anniversary = "");

// Values that tell the columns apart: "<prefix> <column name>".
ContactValues distinctValues(const std::string& prefix);

// The index in the master table of the column with this XML attribute name.
std::size_t columnIndex(const std::string& xmlAttribute);

}  // namespace corvadex::test
