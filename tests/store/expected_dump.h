// Reads the dump that make-contacts-db writes with --expected: every table
// with its rows in walk order, each value null or a list of hex strings.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvadex::testing {

struct DumpTable {
  std::string name;
  // Column name to its values; nullopt for a null column.
  std::vector<std::map<std::string, std::optional<std::vector<std::string>>>> rows;
};

struct Dump {
  unsigned pageSize = 0;
  std::vector<DumpTable> tables;
};

// Parses the file; throws std::runtime_error on anything it cannot read.
Dump ReadDump(const std::string& path);

std::vector<unsigned char> FromHex(const std::string& hex);

}  // namespace corvadex::testing
