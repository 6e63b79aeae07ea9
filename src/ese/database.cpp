// SPDX-License-Identifier: Apache-2.0
#include "ese/database.h"

#include <algorithm>

#include "ese/compression.h"
#include "ese/failure_note.h"
#include "ese/long_value.h"

namespace ese {

JET_ERR Database::Open(const std::string& path, std::unique_ptr<Database>& out) {
  std::unique_ptr<Database> db(new Database());
  if (JET_ERR err = DbFile::Open(path, db->file_); err != JET_errSuccess) return err;
  if (JET_ERR err = Catalog::Load(*db->file_, db->catalog_); err != JET_errSuccess) return err;
  db->expansion_budget_ = kExpansionFactor * db->file_->size() + kExpansionAllowance;
  out = std::move(db);
  return JET_errSuccess;
}

bool Database::Expand(std::uint64_t bytes) const {
  if (bytes > expansion_budget_ - expanded_) return false;
  expanded_ += bytes;
  return true;
}

std::uint64_t Database::ValueRoom() const {
  return std::min<std::uint64_t>(kMaxValueSize, expansion_budget_ - expanded_);
}

TableCursor::TableCursor(const Database& db, std::shared_ptr<const TableInfo> table)
    : db_(&db),
      table_(std::move(table)),
      rows_(&db.file(), table_->root_pgno, table_->objid),
      long_values_(&db.file(), table_->lv_root_pgno, table_->lv_objid),
      large_(db.file().page_size() > 8192),
      has_compression_(db.header().format_revision >= kFirstRevisionWithCompression) {}

JET_ERR TableCursor::LoadRecord() {
  on_row_ = false;
  if (JET_ERR err = record_.Parse(rows_.data(), large_, has_compression_); err != JET_errSuccess) {
    return Locate(err, rows_.pgno(), &table_->name);
  }
  on_row_ = true;
  return JET_errSuccess;
}

JET_ERR TableCursor::TooLarge() const {
  return Corrupt("the value would take more memory than a file of this size can hold");
}

JET_ERR TableCursor::MoveFirst() {
  on_row_ = false;
  if (JET_ERR err = rows_.First(); err != JET_errSuccess) {
    return Locate(err, rows_.pgno(), &table_->name);
  }
  return LoadRecord();
}

JET_ERR TableCursor::MoveNext() {
  if (!on_row_) return JET_errNoCurrentRecord;
  on_row_ = false;
  if (JET_ERR err = rows_.Next(); err != JET_errSuccess) {
    return Locate(err, rows_.pgno(), &table_->name);
  }
  return LoadRecord();
}

JET_ERR TableCursor::CountValues(const ColumnInfo& column, std::uint32_t& count) {
  if (!on_row_) return JET_errNoCurrentRecord;
  StoredValue v;
  if (JET_ERR err = record_.Get(column, table_->is_derived, 1, v, &count); err != JET_errSuccess) {
    return Locate(err, rows_.pgno(), &table_->name, &column.name);
  }
  return JET_errSuccess;
}

JET_ERR TableCursor::ReadValue(const ColumnInfo& column, std::uint32_t itag, Bytes& out,
                               bool& is_null) {
  if (JET_ERR err = ReadStoredValue(column, itag, out, is_null); err != JET_errSuccess) {
    // A failure in the long-value tree has noted its own page already.
    return Locate(err, rows_.pgno(), &table_->name, &column.name);
  }
  return JET_errSuccess;
}

JET_ERR TableCursor::ReadStoredValue(const ColumnInfo& column, std::uint32_t itag, Bytes& out,
                                     bool& is_null) {
  if (!on_row_) return JET_errNoCurrentRecord;
  StoredValue v;
  if (JET_ERR err = record_.Get(column, table_->is_derived, itag, v); err != JET_errSuccess) {
    return err;
  }
  is_null = v.kind == ValueKind::kNull;
  out = Bytes();
  switch (v.kind) {
    case ValueKind::kNull: return JET_errSuccess;
    case ValueKind::kInline: out = v.bytes.bytes(); return JET_errSuccess;
    case ValueKind::kCompressed:
      // A value that could not fit is refused before it is decompressed.
      if (DecompressedSizeLimit(v.bytes.bytes()) > db_->ExpansionRoom()) return TooLarge();
      if (JET_ERR err = DecompressValue(v.bytes.bytes(), scratch_); err != JET_errSuccess) {
        return Fail(err, "a compressed value does not decompress");
      }
      if (!db_->Expand(scratch_.size())) return TooLarge();
      out = Bytes(scratch_.data(), scratch_.size());
      return JET_errSuccess;
    case ValueKind::kSeparated:
      if (table_->lv_root_pgno == 0) {
        return Corrupt("a value is kept in a long-value tree the table does not have");
      }
      if (JET_ERR err = ReadLongValue(long_values_, v.bytes, db_->ValueRoom(), scratch_);
          err != JET_errSuccess) {
        return err == JET_errOutOfMemory ? TooLarge() : err;
      }
      if (!db_->Expand(scratch_.size())) return TooLarge();
      out = Bytes(scratch_.data(), scratch_.size());
      return JET_errSuccess;
  }
  return JET_errSuccess;
}

}  // namespace ese
