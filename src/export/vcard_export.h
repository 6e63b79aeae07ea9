// Writes every row of the contact list as vCard 4.0 (RFC 6350), one card per
// contact in list order, for import into other address books.
#pragma once

#include "contacts/contact_list.h"
#include "export/byte_sink.h"
#include "export/export_progress.h"

namespace corvadex {

void WriteContactsVcard(const ContactList& list, ByteSink& sink,
                        const ExportProgress& progress = {});

}  // namespace corvadex
