// SPDX-License-Identifier: Apache-2.0
#include "ese/database.h"

#include <algorithm>

#include "ese/compression.h"
#include "ese/long_value.h"

namespace ese {

Status Database::open(const std::string& path, std::unique_ptr<Database>& out,
                       const DbFile::Options& options) {
  std::unique_ptr<Database> db(new Database());
  if (Status err = DbFile::open(path, db->file_, options); err != JET_errSuccess) return err;
  if (Status err = Catalog::load(*db->file_, db->catalog_); err != JET_errSuccess) return err;
  db->expansion_budget_ = kExpansionFactor * db->file_->size() + kExpansionAllowance;
  out = std::move(db);
  return JET_errSuccess;
}

bool Database::expand(std::uint64_t bytes) const {
  if (bytes > expansion_budget_ - expanded_) return false;
  expanded_ += bytes;
  return true;
}

std::uint64_t Database::valueRoom() const {
  return std::min<std::uint64_t>(kMaxValueSize, expansion_budget_ - expanded_);
}

TableCursor::TableCursor(const Database& db, std::shared_ptr<const TableInfo> table)
    : db_(&db),
      table_(std::move(table)),
      rows_(&db.file(), table_->root_pgno, table_->objid),
      long_values_(&db.file(), table_->lv_root_pgno, table_->lv_objid),
      large_(db.file().page_size() > 8192),
      derived_(table_->is_derived),
      has_compression_(db.header().format_revision >= kFirstRevisionWithCompression) {}

Status TableCursor::loadRecord() {
  on_row_ = false;
  expanded_ = Expanded{};
  if (Status err = record_.parse(rows_.data(), large_, has_compression_); err != JET_errSuccess) {
    return err.at(rows_.pgno(), &table_->name);
  }
  on_row_ = true;
  return JET_errSuccess;
}

Status TableCursor::tooLarge() const {
  return corrupt("the value would take more memory than a file of this size can hold");
}

Status TableCursor::moveFirst() {
  on_row_ = false;
  if (Status err = rows_.first(); err != JET_errSuccess) {
    return err.at(rows_.pgno(), &table_->name);
  }
  return loadRecord();
}

Status TableCursor::moveNext() {
  if (!on_row_) return JET_errNoCurrentRecord;
  on_row_ = false;
  if (Status err = rows_.Next(); err != JET_errSuccess) {
    return err.at(rows_.pgno(), &table_->name);
  }
  return loadRecord();
}

Status TableCursor::countValues(const ColumnInfo& column, std::uint32_t& count) {
  if (!on_row_) return JET_errNoCurrentRecord;
  StoredValue v;
  if (Status err = record_.get(column, derived_, 1, v, &count); err != JET_errSuccess) {
    return err.at(rows_.pgno(), &table_->name, &column.name);
  }
  return JET_errSuccess;
}

Status TableCursor::readAnyValue(const ColumnInfo& column, std::uint32_t itag, Bytes& out,
                                  bool& is_null) {
  if (!on_row_) return JET_errNoCurrentRecord;
  StoredValue v;
  Status err = record_.get(column, derived_, itag, v);
  if (err == JET_errSuccess) {
    is_null = v.kind == ValueKind::kNull;
    // A null's bytes are empty.
    if (v.kind == ValueKind::kInline || is_null) {
      out = v.bytes.bytes();
      return JET_errSuccess;
    }
    const Expanded which{&column, itag == 0 ? 1 : itag};
    const bool again = v.kind == ValueKind::kSeparated && expanded_.column == which.column &&
                       expanded_.itag == which.itag;
    if (again) {
      // Read before, within the same bounds: counted as reading it would.
      if (!db_->expand(scratch_.size())) err = tooLarge();
      out = Bytes(scratch_.data(), scratch_.size());
    } else {
      expanded_ = Expanded{};
      err = expandValue(v, out);
      if (err == JET_errSuccess && v.kind == ValueKind::kSeparated) expanded_ = which;
    }
    if (err == JET_errSuccess) return err;
  }
  // A failure in the long-value tree has noted its own page already.
  return err.at(rows_.pgno(), &table_->name, &column.name);
}

Status TableCursor::expandValue(const StoredValue& v, Bytes& out) {
  out = Bytes();
  if (v.kind == ValueKind::kCompressed) {
    // A value that could not fit is refused before it is decompressed.
    if (decompressedSizeLimit(v.bytes.bytes()) > db_->expansionRoom()) return tooLarge();
    if (JET_ERR err = decompressValue(v.bytes.bytes(), scratch_); err != JET_errSuccess) {
      return Status(err, "a compressed value does not decompress");
    }
  } else {
    if (table_->lv_root_pgno == 0) {
      return corrupt("a value is kept in a long-value tree the table does not have");
    }
    if (Status err = readLongValue(long_values_, v.bytes, db_->valueRoom(), scratch_);
        err != JET_errSuccess) {
      return err == JET_errOutOfMemory ? tooLarge() : err;
    }
  }
  if (!db_->expand(scratch_.size())) return tooLarge();
  out = Bytes(scratch_.data(), scratch_.size());
  return JET_errSuccess;
}

}  // namespace ese
