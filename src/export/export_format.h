// SPDX-License-Identifier: Apache-2.0
// The export formats by name, as the command line and the window offer
// them, and one entry point that writes any of them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "contacts/contact_list.h"
#include "base/byte_sink.h"
#include "base/processor_count.h"
#include "export/export_progress.h"
#include "export/export_rows.h"

namespace corvadex {

enum class ExportFormat { Xml, Csv, Vcard3, Vcard4, GoogleCsv, OutlookCsv };

// "xml", "csv", "vcard" (3.0), "vcard4", "google-csv", "outlook-csv".
std::optional<ExportFormat> exportFormatNamed(std::string_view name);
std::string_view exportFormatName(ExportFormat format);
// "xml", "csv" or "vcf".
std::string_view exportFormatExtension(ExportFormat format);
bool isVcard(ExportFormat format);


// Writes every contact in the format. The rows are formatted on `threads`
// threads (one: all on the calling thread); the bytes written are the same
// for any number (export_rows.h).
void writeContacts(ExportFormat format, const ContactList& list, ByteSink& sink,
                   const ExportProgress& progress = {}, unsigned threads = processorCount());

// The format's frame and row formatter.
ExportRows exportRows(ExportFormat format, const ContactList& list);

// Writes one vCard file per contact into `folder`, named by the contact's
// identifier ("<uid>.vcf"), the layout vdir-based address books read. The
// folder is made when missing (its parent must exist). Each file is written
// beside its name and renamed into place when complete, so a failure leaves
// no partial card, only whole ones. Returns the number of files written;
// throws std::system_error naming the file on failure.
std::size_t writeContactsSplit(ExportFormat vcardFormat, const ContactList& list, const std::string& folder,
                               const ExportProgress& progress = {});

}  // namespace corvadex
