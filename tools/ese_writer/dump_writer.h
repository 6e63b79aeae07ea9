// SPDX-License-Identifier: Apache-2.0
// Writes what a database holds in the canonical dump format (one JSON
// object: page_size, then every table in catalog order with its columns by
// id and its rows in primary-index order; a value is null or a list of
// lowercase hex strings). User tables stream to a side file as their rows
// are written; the catalog tables, known only at the end, go first when the
// dump is completed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "schema.h"

namespace corvadex::esew {

class DumpWriter {
 public:
  DumpWriter() = default;
  ~DumpWriter();
  DumpWriter(const DumpWriter&) = delete;
  DumpWriter& operator=(const DumpWriter&) = delete;

  // Empty on success, else the reason.
  std::string open(const std::string& path);
  void beginTable(const TableDef& table);
  void row(const Row& row);
  void endTable();
  void systemTable(const TableDef& table, const std::vector<Row>& rows);
  // Writes the final file; empty on success, else the reason.
  std::string complete(std::uint32_t pageSize);

 private:
  static std::string tableHead(const TableDef& table);
  std::string rowJson(const Row& row) const;

  std::string path_, partPath_;
  std::FILE* part_ = nullptr;
  std::vector<const ColumnDef*> columns_;  // of the table being written, by id
  bool firstTable_ = true, firstRow_ = true;
  std::string systemTables_;
};

std::string jsonString(std::string_view s);

}  // namespace corvadex::esew
