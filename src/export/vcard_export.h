// SPDX-License-Identifier: Apache-2.0
// Writes every row of the contact list as vCards, one card per contact in
// list order, for import into other address books: vCard 3.0 (RFC 2426),
// which every common reader takes, or vCard 4.0 (RFC 6350).
#pragma once

#include <cstddef>
#include <string>

#include "contacts/contact_list.h"
#include "base/byte_sink.h"
#include "export/export_progress.h"
#include "export/export_rows.h"

namespace corvadex {

enum class VcardVersion { V3, V4 };

// `threads` as for writeContactsXml.
void writeContactsVcard(const ContactList& list, ByteSink& sink, VcardVersion version = VcardVersion::V3,
                        const ExportProgress& progress = {}, unsigned threads = 1);

// The cards' row formatter (export_rows.h); no head, no tail.
ExportRows vcardRows(const ContactList& list, VcardVersion version);

// The card of row `index`, appended to `out`.
void appendContactVcard(const ContactList& list, std::size_t index, VcardVersion version, std::string& out);

// The identifier of row `index` (see contact_uid.h). A row without a key
// (a list not read from a database) is told apart by its position.
std::string rowUid(const ContactList& list, std::size_t index);
void appendRowUid(const ContactList& list, std::size_t index, std::string& out);

// The name Corvadex gives itself in PRODID.
std::string productId();

}  // namespace corvadex
