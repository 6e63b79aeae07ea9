// SPDX-License-Identifier: Apache-2.0
// Writes every row of the contact list to an XML file: a root element
// "contacts" holding one "contact" element of 33 attributes per row, in list
// order. The file appears under its name only once it is complete; an
// earlier file of that name survives a failed save. Failures throw
// std::runtime_error with the library's or the system's description.
#pragma once

#include <string>

#include "contacts/contact_list.h"
#include "base/byte_sink.h"
#include "export/export_progress.h"
#include "export/export_rows.h"

namespace corvadex {

void writeContactsXml(const ContactList& list, const std::string& fileName);
void writeContactsXml(const ContactList& list, const std::string& fileName,
                      const ExportProgress& progress);

// The same document, written to any sink (standard output, memory), its
// rows formatted on `threads` threads (the bytes are the same for any
// number). The file-name forms above use the machine's processor count.
void writeContactsXml(const ContactList& list, ByteSink& sink,
                      const ExportProgress& progress = {}, unsigned threads = 1);

// The document's frame and row formatter (export_rows.h).
ExportRows xmlRows(const ContactList& list);

}  // namespace corvadex
