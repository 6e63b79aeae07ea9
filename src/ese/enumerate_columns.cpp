// SPDX-License-Identifier: Apache-2.0
#include "ese/enumerate_columns.h"

#include <algorithm>
#include <cstring>

#include "base/small_copy.h"

namespace ese {
namespace {

// Copies `n` bytes: short values without a call, values of up to a few
// hundred bytes (most texts) sixteen bytes at a time with the last sixteen
// overlapping, longer ones with memcpy.
inline void copyValue(std::byte* to, const std::byte* from, std::size_t n) {
  if (n <= 32 || n > 512) {
    corvadex::base::copySmall(to, from, n);
    return;
  }
  for (std::size_t i = 0; i + 16 < n; i += 16) std::memcpy(to + i, from + i, 16);
  std::memcpy(to + n - 16, from + n - 16, 16);
}

}  // namespace

const std::byte* ColumnEnumerator::keep(Bytes value) {
  constexpr std::size_t kChunk = std::size_t{64} << 10;
  if (kept_.empty()) kept_.emplace_back(kChunk);
  if (value.size() > kept_[chunk_].size() - used_) {
    ++chunk_;
    used_ = 0;
    if (chunk_ == kept_.size()) kept_.emplace_back(std::max(kChunk, value.size()));
    if (kept_[chunk_].size() < value.size()) kept_[chunk_].resize(value.size());
  }
  std::byte* at = kept_[chunk_].data() + used_;
  if (!value.empty()) std::memcpy(at, value.data(), value.size());
  used_ += value.size();
  return at;
}

void ColumnEnumerator::notePending(bool column, std::size_t index) {
  pending_ = true;
  pending_column_ = column;
  pending_index_ = index;
}

void ColumnEnumerator::keepPending() {
  if (!pending_) return;
  pending_ = false;
  if (pending_column_) {
    Column& c = columns_[pending_index_];
    c.data = keep(Bytes(c.data, c.size));
  } else {
    Value& v = values_[pending_index_];
    v.data = keep(Bytes(v.data, v.size));
  }
}

void ColumnEnumerator::note(Bytes value, const std::byte*& data, std::uint32_t& size,
                            JET_ERR& status) {
  if (value.size() > request_->most) {
    value = value.first(request_->most);
    status = JET_wrnColumnTruncated;
  } else {
    status = JET_errSuccess;
  }
  data = value.data();
  size = static_cast<std::uint32_t>(value.size());
  total_ += value.size();
}

void ColumnEnumerator::addSingle(JET_COLUMNID id, Bytes value, bool lasting) {
  Column& c = add(id, JET_errSuccess);
  if (request_->compress && value.size() <= request_->most) {
    c.err = JET_wrnColumnSingleValue;
    if (!lasting) notePending(true, count_ - 1);
    JET_ERR whole = JET_errSuccess;  // never cut here
    note(value, c.data, c.size, whole);
    return;
  }
  c.first_value = static_cast<std::uint32_t>(values_.size());
  c.value_count = 1;
  Value& v = values_.emplace_back();
  v.itag = 1;
  if (!lasting) notePending(false, values_.size() - 1);
  note(value, v.data, v.size, v.err);
}

Status ColumnEnumerator::readInto(TableCursor& cursor, const ColumnInfo& column,
                                   std::uint32_t itag, Value& v) {
  v.itag = itag;
  Bytes bytes;
  bool is_null = false;
  keepPending();
  if (Status err = cursor.readValue(column, itag, bytes, is_null); err != JET_errSuccess) {
    return err;
  }
  if (is_null) {
    v.err = JET_wrnColumnNull;
    return JET_errSuccess;
  }
  const bool lasting = cursor.inRow(bytes);
  if (!lasting) notePending(false, static_cast<std::size_t>(&v - values_.data()));
  note(bytes, v.data, v.size, v.err);
  return JET_errSuccess;
}

Status ColumnEnumerator::addAllValues(TableCursor& cursor, const ColumnInfo& column,
                                       bool keep_null) {
  std::uint32_t n = 0;
  keepPending();
  if (Status err = cursor.countValues(column, n); err != JET_errSuccess) return err;
  if (n == 0) {
    if (keep_null) add(column.id, JET_wrnColumnNull);
    return JET_errSuccess;
  }
  if (n == 1) {
    Bytes bytes;
    bool is_null = false;
    if (Status err = cursor.readValue(column, 1, bytes, is_null); err != JET_errSuccess) {
      return err;
    }
    if (!is_null) {
      addSingle(column.id, bytes, cursor.inRow(bytes));
      return JET_errSuccess;
    }
  }
  const auto first = static_cast<std::uint32_t>(values_.size());
  Column& c = add(column.id, JET_errSuccess);
  c.first_value = first;
  c.value_count = n;
  values_.resize(values_.size() + n);
  for (std::uint32_t i = 0; i < n; ++i) {
    if (Status err = readInto(cursor, column, i + 1, values_[first + i]); err != JET_errSuccess) {
      return err;
    }
  }
  return JET_errSuccess;
}

[[gnu::always_inline]] inline Status ColumnEnumerator::addQuick(TableCursor& cursor,
                                                                 const ColumnInfo& column,
                                                                 Record::Quick quick,
                                                                 ByteView bytes) {
  switch (quick) {
    case Record::Quick::kNull: return JET_errSuccess;
    case Record::Quick::kValue:
      // A plain value lies in the row's page for the whole call.
      addSingle(column.id, bytes.bytes(), true);
      return JET_errSuccess;
    case Record::Quick::kAsk: break;
  }
  return addAllValues(cursor, column, false);
}

template <bool kLarge>
Status ColumnEnumerator::addTagged(TableCursor& cursor, const Record::TaggedWalk& opened) {
  const Record::TaggedWalk walk = opened;  // a local copy stays in registers
  const TableInfo& table = cursor.table();
  // The walk goes along the row's entries, not along the table's columns:
  // a table has many more tagged columns than a row fills, and which ones
  // a row fills is hard to foretell. The columns with a default value are
  // merged in, where the row does not store them.
  const std::uint32_t* next_default = table.tagged_defaults.data();
  const std::uint32_t* const defaults_end = next_default + table.tagged_defaults.size();
  const TableInfo::ColumnsById by_id = table.byId();
  const ColumnInfo* const columns = by_id.columns;
  constexpr std::uint32_t kPastAll = 0x10000;  // above every column id
  constexpr std::uint32_t kNoMore = UINT32_MAX;  // above that
  std::uint32_t default_id = next_default != defaults_end ? columns[*next_default].id : kNoMore;
  // The common answers, a plain value given in the column or a null, are
  // written through locals: the members would be read and written again
  // for every column, since the stores into the answer could alias them.
  // Anything else goes through the members, saved before and read after.
  const std::size_t entries = walk.entries();
  const std::uint32_t most = request_->most;
  const bool compress = request_->compress;
  Column* out = columns_.data() + count_;
  std::uint64_t total = total_;
  auto throughMembers = [&](auto add) {
    count_ = static_cast<std::size_t>(out - columns_.data());
    total_ = total;
    const Status err = add();
    out = columns_.data() + count_;
    total = total_;
    return err;
  };
  for (std::size_t i = 0; i <= entries; ++i) {
    // Past the last entry: only the defaults after it are left.
    const std::uint32_t id = i < entries ? walk.id(i) : kPastAll;
    // Only a tagged column's entry counts (a damaged one may name another).
    const ColumnInfo* column = i < entries && id >= 256 ? by_id.find(id) : nullptr;
    while (default_id <= id) {
      const ColumnInfo& with_default = columns[*next_default];
      ++next_default;
      default_id = next_default != defaults_end ? columns[*next_default].id : kNoMore;
      if (&with_default == column) break;  // the row stores it
      // Not stored: its default, a value that stays for the whole call.
      static_cast<void>(throughMembers([&] {
        addSingle(with_default.id, Bytes(with_default.default_value), true);
        return Status();
      }));
    }
    // An entry of a column the table no longer has is passed over.
    if (column == nullptr) continue;
    ByteView bytes;
    const Record::Quick quick = walk.value<kLarge>(i, bytes);
    if (quick == Record::Quick::kNull) continue;
    if (quick == Record::Quick::kValue && compress && bytes.size() <= most) {
      out->id = id;
      out->err = JET_wrnColumnSingleValue;
      out->first_value = 0;
      out->value_count = 0;
      out->data = bytes.data();
      out->size = static_cast<std::uint32_t>(bytes.size());
      ++out;
      total += bytes.size();
      continue;
    }
    const Status err = throughMembers([&] { return addQuick(cursor, *column, quick, bytes); });
    if (err != JET_errSuccess) return err;
  }
  count_ = static_cast<std::size_t>(out - columns_.data());
  total_ = total;
  return JET_errSuccess;
}

Status ColumnEnumerator::addEveryColumn(TableCursor& cursor) {
  // Plain values and nulls take the cursor's quick answer; the rest are
  // counted and read in full. The tagged columns, most of a table's, are
  // found by walking the row's directory in column order rather than one
  // by one.
  const std::vector<ColumnInfo>& all = cursor.table().columns;
  std::size_t k = 0;
  Status err = JET_errSuccess;
  for (; k < all.size() && all[k].id < 256 && err == JET_errSuccess; ++k) {
    ByteView bytes;
    err = addQuick(cursor, all[k], cursor.quickValue(all[k], 1, bytes), bytes);
  }
  Record::TaggedWalk walk;
  if (err != JET_errSuccess || k == all.size() || !cursor.openTagged(walk)) {
    for (; k < all.size() && err == JET_errSuccess; ++k) {
      ByteView bytes;
      err = addQuick(cursor, all[k], cursor.quickValue(all[k], 1, bytes), bytes);
    }
  } else {
    err = walk.large() ? addTagged<true>(cursor, walk) : addTagged<false>(cursor, walk);
  }
  return err;
}

Status ColumnEnumerator::addAsked(TableCursor& cursor, const JET_ENUMCOLUMNID& id) {
  if (id.columnid == 0) {
    add(0, JET_wrnColumnSkipped);
    return JET_errSuccess;
  }
  const ColumnInfo* column = cursor.table().findColumn(id.columnid);
  if (column == nullptr) {
    add(id.columnid, JET_errColumnNotFound);
    return JET_errSuccess;
  }
  if (id.ctagSequence == 0) return addAllValues(cursor, *column, true);
  const auto first = static_cast<std::uint32_t>(values_.size());
  Column& c = add(column->id, JET_errSuccess);
  c.first_value = first;
  c.value_count = id.ctagSequence;
  values_.resize(values_.size() + id.ctagSequence);
  for (std::uint32_t i = 0; i < id.ctagSequence; ++i) {
    Value& v = values_[first + i];
    if (id.rgtagSequence[i] == 0) {
      v.err = JET_wrnColumnSkipped;
      continue;
    }
    if (Status err = readInto(cursor, *column, id.rgtagSequence[i], v); err != JET_errSuccess) {
      return err;
    }
  }
  return JET_errSuccess;
}

Status ColumnEnumerator::give(std::uint32_t& count, JET_ENUMCOLUMN*& columns) const {
  const std::size_t n = count_;
  if (n == 0) return JET_errSuccess;
  // One block: the columns, then the values' arrays, then the bytes, and
  // kWide bytes of slack.
  const std::size_t n_values = values_.size();
  const std::size_t column_bytes = n * sizeof(JET_ENUMCOLUMN);
  const std::size_t value_bytes = n_values * sizeof(JET_ENUMCOLUMNVALUE);
  const std::uint64_t total = column_bytes + value_bytes + total_ + kWide;
  if (total > UINT32_MAX) return JET_errOutOfMemory;
  void* block = request_->allocate(request_->context, nullptr, static_cast<std::uint32_t>(total));
  if (block == nullptr) return JET_errOutOfMemory;
  auto* out_columns = static_cast<JET_ENUMCOLUMN*>(block);
  auto* out_values =
      reinterpret_cast<JET_ENUMCOLUMNVALUE*>(static_cast<std::byte*>(block) + column_bytes);
  std::byte* out = static_cast<std::byte*>(block) + column_bytes + value_bytes;
  // Each value's bytes copied to the next place in the block. Most values
  // are short and lie in the row's page: those are copied as kWide bytes
  // whatever their size, as long as the page goes on that far, rather than
  // choosing a copy by the size, which is hard to foretell. The bytes past
  // the value are overwritten by the next one, or fall into the slack.
  const bool wide = row_page_.size() >= kWide;
  const auto page_begin = reinterpret_cast<std::uintptr_t>(row_page_.data());
  const std::size_t wide_within = wide ? row_page_.size() - kWide : 0;
  auto place = [&out, wide, page_begin, wide_within](const std::byte* data,
                                                      std::uint32_t size) -> void* {
    if (size == 0) return nullptr;
    std::byte* at = out;
    if (wide && size <= kWide &&
        reinterpret_cast<std::uintptr_t>(data) - page_begin <= wide_within) {
      std::memcpy(at, data, kWide);
    } else {
      copyValue(at, data, size);
    }
    out += size;
    return at;
  };
  const Column* const from = columns_.data();
  for (std::size_t i = 0; i < n; ++i) {
    const Column& c = from[i];
    JET_ENUMCOLUMN& o = out_columns[i];
    o.columnid = c.id;
    o.err = c.err;
    o.cEnumColumnValue = c.value_count;
    o.rgEnumColumnValue = c.value_count > 0 ? out_values + c.first_value : nullptr;
    o.cbData = c.size;
    o.pvData = place(c.data, c.size);
  }
  const Value* const from_values = values_.data();
  for (std::size_t i = 0; i < n_values; ++i) {
    const Value& v = from_values[i];
    out_values[i] = JET_ENUMCOLUMNVALUE{v.itag, v.err, v.size, nullptr};
    out_values[i].pvData = place(v.data, v.size);
  }
  count = static_cast<std::uint32_t>(n);
  columns = out_columns;
  return JET_errSuccess;
}

Status ColumnEnumerator::enumerate(TableCursor& cursor, const EnumerateRequest& request,
                                    std::uint32_t& count, JET_ENUMCOLUMN*& columns) {
  count = 0;
  columns = nullptr;
  for (std::uint32_t i = 0; i < request.count; ++i) {
    if (request.ids[i].ctagSequence > 0 && request.ids[i].rgtagSequence == nullptr) {
      return JET_errInvalidParameter;
    }
  }
  request_ = &request;
  row_page_ = cursor.rowPage();
  pending_ = false;
  count_ = 0;
  values_.clear();
  total_ = 0;
  chunk_ = 0;
  used_ = 0;
  Status err = JET_errSuccess;
  // Each column of the table, or each asked for, adds at most one.
  const std::size_t most = request.count > 0 ? request.count : cursor.table().columns.size();
  if (columns_.size() < most) columns_.resize(most);
  if (request.count == 0) {
    err = addEveryColumn(cursor);
  } else {
    for (std::uint32_t i = 0; i < request.count && err == JET_errSuccess; ++i) {
      err = addAsked(cursor, request.ids[i]);
    }
  }
  if (err == JET_errSuccess) err = give(count, columns);
  request_ = nullptr;
  return err;
}

}  // namespace ese
