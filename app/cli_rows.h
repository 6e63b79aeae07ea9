// SPDX-License-Identifier: Apache-2.0
// The list on standard output, one line per row (contacts/row_text.h).
#pragma once

#include "contacts/contact_list.h"

namespace corvadex::cli {

// Writes every row of `list` to standard output's descriptor. With more than
// one thread the lines are formatted in chunks on that many threads and
// written in list order: the same bytes as on one. False, with errno telling
// why, when standard output cannot be written.
bool writeRowLines(const ContactList& list, unsigned threads);

}  // namespace corvadex::cli
