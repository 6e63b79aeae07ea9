// The engine's own C++ interface: open a database file read-only, list its
// tables and columns, walk a table's rows in primary-index order and read
// every value of a column, long values and compressed values included.
//
// The Jet calls (jet.h) and the command line's dump are built on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ese/btree.h"
#include "ese/catalog.h"
#include "ese/db_file.h"
#include "ese/jet.h"
#include "ese/record.h"

namespace ese {

class Database {
 public:
  // Opens the file and reads its catalog. Statuses: those of DbFile::Open,
  // and the page statuses of DbFile::ReadPage for a damaged catalog.
  static JET_ERR Open(const std::string& path, std::unique_ptr<Database>& out);

  const FileHeader& header() const { return file_->header(); }
  const DbFile& file() const { return *file_; }
  const Catalog& catalog() const { return catalog_; }

 private:
  Database() = default;
  std::unique_ptr<DbFile> file_;
  Catalog catalog_;
};

// A cursor on one table's rows. Values read through it stay valid until
// the next call on the cursor.
class TableCursor {
 public:
  TableCursor(const Database& db, std::shared_ptr<const TableInfo> table);

  const TableInfo& table() const { return *table_; }

  // JET_errNoCurrentRecord for an empty table / past the last row.
  JET_ERR MoveFirst();
  JET_ERR MoveNext();
  bool on_row() const { return on_row_; }

  // The number of values `column` has in the current row (0 when null).
  JET_ERR CountValues(const ColumnInfo& column, std::uint32_t& count);

  // Value `itag` (1-based; 0 counts as 1) of `column` in the current row:
  // `is_null` when there is none, else `out` holds the bytes, long values
  // followed and compressed values decompressed. A value compressed with
  // a scheme this reader does not know gives DecompressValue's status.
  JET_ERR ReadValue(const ColumnInfo& column, std::uint32_t itag, Bytes& out, bool& is_null);

 private:
  JET_ERR LoadRecord();

  std::shared_ptr<const TableInfo> table_;
  BTreeCursor rows_;
  BTreeCursor long_values_;
  Record record_;
  bool on_row_ = false;
  bool large_ = false;
  bool has_compression_ = true;
  std::vector<std::byte> scratch_;
};

}  // namespace ese
