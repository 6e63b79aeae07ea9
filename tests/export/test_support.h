// SPDX-License-Identifier: Apache-2.0
// Helpers for the export tests: contact lists filled by column, and running
// a helper program.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "contacts/contact_list.h"
#include "base/temp_folder.h"

namespace corvadex::test {

// U+FFFD, the replacement character, in UTF-8.
inline const std::string kFffd = "\xEF\xBF\xBD";

// The command line program of this build.
inline const std::string kCli = CORVADEX_BIN_DIR "/corvadex-cli";

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

struct RunResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
  long peakKiB = 0;  // the program's peak resident memory
};

// Runs a program with arguments (no shell), stdin from /dev/null.
RunResult Run(const std::vector<std::string>& argv);

// Writes a database with make-contacts-db and the given options into
// `dir` under `name`; its path.
std::string makeDatabase(const corvadex::TempFolder& dir, const std::string& name,
                         std::vector<std::string> options);

// Whether /usr/bin/python3 can import a module.
bool pythonHasModule(const std::string& module);

// Decodes the output of the Python helper scripts: one line per value,
// "<record>\t<key>\t<value as hex UTF-8>", into one map per record.
std::vector<std::map<std::string, std::string>> parseKeyedHexLines(const std::string& text);

}  // namespace corvadex::test
