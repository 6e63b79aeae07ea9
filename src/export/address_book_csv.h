// SPDX-License-Identifier: Apache-2.0
// CSV in the layouts that other address books' importers read by their
// column names: Google Contacts' CSV and the column set Outlook documents
// for its CSV import. Every one of the 33 values lands somewhere: a value
// the layout has no column for is added to the notes with its label.
#pragma once

#include <span>
#include <string_view>

#include "contacts/contact_list.h"
#include "base/byte_sink.h"
#include "export/export_progress.h"
#include "export/export_rows.h"

namespace corvadex {

enum class AddressBookCsv { Google, Outlook };

// `threads` as for writeContactsXml.
void writeContactsAddressBookCsv(const ContactList& list, ByteSink& sink, AddressBookCsv layout,
                                 const ExportProgress& progress = {}, unsigned threads = 1);

// The header row (after the byte order mark for Outlook) and the row
// formatter (export_rows.h).
ExportRows addressBookCsvRows(const ContactList& list, AddressBookCsv layout);

// The layout's header row, in column order.
std::span<const std::string_view> addressBookCsvHeaders(AddressBookCsv layout);

}  // namespace corvadex
