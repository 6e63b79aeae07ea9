// SPDX-License-Identifier: Apache-2.0
// Reads a dump of an ESE database as JSON: what `corvadex-cli dump` prints,
// what make-contacts-db writes with --expected, and what tests/data/ese
// holds for the real databases. Every table in catalog order with its
// columns and its rows in walk order; each value null or a list of
// lowercase hex strings, one per stored value.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvadex::testing {

struct DumpColumn {
  unsigned id = 0;
  std::string name;
  unsigned type = 0;                 // the engine's column type number
  std::optional<unsigned> codepage;  // null in the dump for most non-text columns
};

// Column name to its values; nullopt for a null column.
using DumpRow = std::map<std::string, std::optional<std::vector<std::string>>>;

struct DumpTable {
  std::string name;
  std::vector<DumpColumn> columns;
  std::vector<DumpRow> rows;
};

struct Dump {
  unsigned pageSize = 0;
  std::vector<DumpTable> tables;
};

// Parses the file; throws std::runtime_error, naming the file, on anything
// it cannot read.
Dump readDump(const std::string& path);
// Parses dump text; `origin` names it in error messages.
Dump parseDump(const std::string& text, const std::string& origin);

std::vector<unsigned char> fromHex(const std::string& hex);

}  // namespace corvadex::testing
