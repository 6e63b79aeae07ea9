// SPDX-License-Identifier: Apache-2.0
// Writes a complete ESE database file: header and shadow header, the
// database's own space tree (pages 1-3), the catalog MSysObjects (page 4)
// and its shadow copy, the system tables of the revision, and the tables it
// is given, each a B+-tree of rows in primary-key order with a long-value
// tree for values too large for their record.
//
// Tables are written one after the other and their rows streamed straight
// to disk; only the catalog, a page per tree level and the current row are
// held in memory. Every call returns an empty string on success or the
// reason it failed; after a failure the writer refuses further work.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "catalog.h"
#include "dump_writer.h"
#include "file_format.h"
#include "page_file.h"
#include "record.h"
#include "tree_writer.h"

namespace corvadex::esew {

struct WriterOptions {
  FileFormat format;
  bool dirtyShutdown = false;
  std::uint32_t signature = 0x5eed;  // random part of the database signature
  // Rows added to the catalog as given, for files a real engine would not
  // write (a row whose Type is no known object, say).
  std::vector<CatalogEntry> extraCatalogEntries;
};

class DatabaseWriter {
 public:
  DatabaseWriter();
  ~DatabaseWriter();
  DatabaseWriter(const DatabaseWriter&) = delete;
  DatabaseWriter& operator=(const DatabaseWriter&) = delete;

  // dump, when given, receives every table and row written.
  std::string create(const std::string& path, const WriterOptions& options, DumpWriter* dump = nullptr);
  std::string beginTable(const TableDef& table);
  std::string addRow(const Row& row);
  std::string endTable();
  std::string finish();

 private:
  struct OpenTable;
  template <typename F>
  std::string guarded(F&& work);
  void writeSystemTables();
  void writeHeader();
  std::vector<CatalogEntry> systemCatalogEntries() const;
  std::uint32_t storeLongValue(std::string_view value);

  PageFile file_;
  WriterOptions options_;
  DumpWriter* dump_ = nullptr;
  std::unique_ptr<OpenTable> table_;
  std::vector<CatalogEntry> userEntries_;
  std::vector<std::pair<std::int32_t, std::pair<std::int32_t, std::int16_t>>> objids_;  // objid -> (table, type)
  std::int32_t nextObjid_ = 0;
  std::string error_;
  bool created_ = false, finished_ = false;
};

}  // namespace corvadex::esew
