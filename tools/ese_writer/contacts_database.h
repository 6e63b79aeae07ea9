// SPDX-License-Identifier: Apache-2.0
// A synthetic contacts database as the mail client keeps it: a contact
// table "SimpleContact-" + suffix with the 33 contact columns by name (and
// columns of its own), beside a few other tables, so that nothing can
// depend on column ids, column order or table order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "file_format.h"

namespace corvadex::esew {

struct ContactsDatabaseOptions {
  std::uint64_t count = 50;
  FileFormat format;
  std::uint64_t seed = 1;
  bool dirty = false;
  bool empty = false;             // the contact table has no rows
  bool noContactTable = false;
  bool twoContactTables = false;  // a second, different contact table after the first
  bool longTableName = false;     // a table with a 300-byte name after the contact table
  bool longShortText = false;     // a 129-unit value in the first contact's FirstName
  bool controlNames = false;      // a table and a column named with control characters
  bool expandingValues = false;   // every tagged text a compressed value of 65535 bytes
  bool bareRows = false;          // every contact row holds its key and nothing else
  bool vcardReserved = false;     // vCard's reserved characters in the texts (addVcardReservedCharacters)
  std::vector<std::string> withoutColumns;  // contact columns to leave out
  std::string expectedPath;       // where to write the dump of what was stored
};

// Empty on success, else the reason.
std::string writeContactsDatabase(const std::string& path, const ContactsDatabaseOptions& options);

// The contact table's name for a seed (and which of two tables).
std::string contactTableName(std::uint64_t seed, int which = 0);

}  // namespace corvadex::esew
