// SPDX-License-Identifier: Apache-2.0
// The export for other address books as both windows' services write it:
// every row of the list, in the format the command line names "vcard",
// "vcard4", "google-csv" or "outlook-csv", to a file that appears whole or
// not at all.
#pragma once

#include <string>

#include "contacts/contact_list.h"

namespace corvadex {

// Throws for an unknown format or a file that cannot be written.
void writeAddressBookFile(const ContactList& list, const std::string& format, const std::string& fileName);

}  // namespace corvadex
