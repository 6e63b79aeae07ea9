// SPDX-License-Identifier: Apache-2.0
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
#include "ese/status.h"
#include "ese/record.h"

namespace ese {

class Database {
 public:
  // Opens the file and reads its catalog. Statuses: those of DbFile::Open,
  // and the page statuses of DbFile::ReadPage for a damaged catalog.
  static Status open(const std::string& path, std::unique_ptr<Database>& out,
                     const DbFile::Options& options = {});

  // Bounds on the memory a reading can be made to take. Values the engine
  // expands (decompressed values, long values gathered from their tree)
  // count against a budget of kExpansionFactor times the file's size plus
  // kExpansionAllowance, and no single value may exceed kMaxValueSize.
  // Genuine files come nowhere near: text compresses by small factors. A
  // value past either bound is reported as damage (JET_errDatabaseCorrupted,
  // naming the page, table and column).
  static constexpr std::uint64_t kExpansionFactor = 7;
  static constexpr std::uint64_t kExpansionAllowance = std::uint64_t{32} << 20;
  static constexpr std::uint32_t kMaxValueSize = std::uint32_t{64} << 20;

  // Counts `bytes` more expanded bytes; false (counting nothing) when they
  // do not fit the budget.
  bool expand(std::uint64_t bytes) const;
  // The largest value that still fits: kMaxValueSize or what is left.
  std::uint64_t valueRoom() const;
  // What is left of the budget.
  std::uint64_t expansionRoom() const { return expansion_budget_ - expanded_; }

  const FileHeader& header() const { return file_->header(); }
  const DbFile& file() const { return *file_; }
  const Catalog& catalog() const { return catalog_; }

 private:
  Database() = default;
  std::unique_ptr<DbFile> file_;
  Catalog catalog_;
  std::uint64_t expansion_budget_ = 0;
  mutable std::uint64_t expanded_ = 0;
};

// A cursor on one table's rows. Values read through it stay valid until
// the next call on the cursor.
class TableCursor {
 public:
  TableCursor(const Database& db, std::shared_ptr<const TableInfo> table);

  const TableInfo& table() const { return *table_; }

  // JET_errNoCurrentRecord for an empty table / past the last row. Every
  // failure of the file names the page and table, and for a value the
  // column.
  Status moveFirst();
  Status moveNext();
  bool on_row() const { return on_row_; }
  // The current row's primary key (valid until the cursor moves).
  Bytes key() const { return rows_.key(); }

  // The number of values `column` has in the current row (0 when null).
  Status countValues(const ColumnInfo& column, std::uint32_t& count);

  // Value `itag` (1-based; 0 counts as 1) of `column` in the current row:
  // `is_null` when there is none, else `out` holds the bytes, long values
  // followed and compressed values decompressed. A value compressed with
  // a scheme this reader does not know gives decompressValue's status.
  Status readValue(const ColumnInfo& column, std::uint32_t itag, Bytes& out, bool& is_null) {
    ByteView bytes;
    switch (quickValue(column, itag, bytes)) {
      case Record::Quick::kValue:
        is_null = false;
        out = bytes.bytes();
        return JET_errSuccess;
      case Record::Quick::kNull:
        is_null = true;
        out = Bytes();
        return JET_errSuccess;
      case Record::Quick::kAsk:
        break;
    }
    return readAnyValue(column, itag, out, is_null);
  }

  // readValue's answer without a call, for a plain value or a null
  // (Record::quick); kAsk when there is no row, the table derives from a
  // template, or the value must be read in full.
  [[gnu::always_inline]] Record::Quick quickValue(const ColumnInfo& column, std::uint32_t itag,
                                                 ByteView& bytes) const {
    if (!on_row_ || derived_) return Record::Quick::kAsk;
    return record_.quick(column, itag, bytes);
  }
  // The current row's tagged directory opened for a walk in order
  // (Record::openTagged); false also on no row or for a table that derives
  // from a template.
  bool openTagged(Record::TaggedWalk& walk) const {
    return on_row_ && !derived_ && record_.openTagged(walk);
  }
  // Whether `bytes` (from readValue) lie in the current row's record, where
  // they stay until the cursor moves; other values are in a buffer the
  // next read of a value may overwrite.
  bool inRow(Bytes bytes) const { return record_.holds(bytes); }
  // The whole page the current row lies in (empty on no row).
  Bytes rowPage() const { return on_row_ ? rows_.page() : Bytes(); }
  // readValue without the quick answer: for a caller that asked quickValue
  // first.
  Status readAnyValue(const ColumnInfo& column, std::uint32_t itag, Bytes& out, bool& is_null);

 private:
  Status loadRecord();
  // A compressed value decompressed, or a value of the long-value tree
  // gathered, into scratch_.
  Status expandValue(const StoredValue& v, Bytes& out);
  // Callers commonly ask for a long value twice, the second time with a
  // buffer of the size the first call gave: the row's last value gathered
  // from the long-value tree is kept in scratch_ and not read again. Each
  // time it is handed out it counts against the budget, as reading it would.
  struct Expanded {
    const ColumnInfo* column = nullptr;  // none
    std::uint32_t itag = 0;
  };
  // The status for a value that would pass the memory bounds.
  Status tooLarge() const;

  const Database* db_;  // counts what the cursor's values expand to
  std::shared_ptr<const TableInfo> table_;
  BTreeCursor rows_;
  BTreeCursor long_values_;
  Record record_;
  bool on_row_ = false;
  bool large_ = false;
  bool derived_ = false;
  bool has_compression_ = true;
  std::vector<std::byte> scratch_;
  Expanded expanded_;
};

}  // namespace ese
