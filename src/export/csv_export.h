// SPDX-License-Identifier: Apache-2.0
// Writes every row of the contact list as CSV (RFC 4180): a header row of the
// XML export's attribute names, then one record per contact in list order,
// 33 fields each in the master table's order.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "contacts/contact_list.h"
#include "base/byte_sink.h"
#include "export/export_progress.h"
#include "export/export_rows.h"

namespace corvadex {

// Appends one field, quoted when it must be, with malformed UTF-8 replaced;
// `scratch` is working space.
void appendCsvField(std::string& line, std::string_view value, std::string& scratch);

// Appends one record: the fields separated by commas, then CRLF.
void appendCsvRecord(std::string& out, std::span<const std::string_view> fields, std::string& scratch);

// `threads` as for writeContactsXml.
void writeContactsCsv(const ContactList& list, ByteSink& sink, const ExportProgress& progress = {},
                      unsigned threads = 1);

// The header row and the row formatter (export_rows.h).
ExportRows csvRows(const ContactList& list);

}  // namespace corvadex
