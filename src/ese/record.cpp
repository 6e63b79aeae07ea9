// SPDX-License-Identifier: Apache-2.0
#include "ese/record.h"

namespace ese {
namespace {

constexpr std::uint8_t kTagLongValue = 0x01;
constexpr std::uint8_t kTagCompressedValue = 0x02;
constexpr std::uint8_t kTagSeparated = 0x04;
constexpr std::uint8_t kTagMultiValues = 0x08;
constexpr std::uint8_t kTagTwoValues = 0x10;
constexpr std::uint8_t kTagNull = 0x20;

StoredValue DefaultOf(const ColumnInfo& column, std::uint32_t itag, std::uint32_t* count) {
  StoredValue v;
  if (column.has_default && itag <= 1) {
    v.kind = ValueKind::kInline;
    v.bytes = ByteView(column.default_value.data(), column.default_value.size());
  }
  if (count != nullptr) *count = column.has_default ? 1 : 0;
  return v;
}

}  // namespace

JET_ERR Record::Parse(ByteView data, bool large_page, bool has_compression) {
  data_ = data;
  large_ = large_page;
  has_compression_ = has_compression;
  tags_indexed_ = false;
  if (!data.U8(0, last_fixed_) || !data.U8(1, last_variable_) || !data.U16(2, fixed_end_)) {
    return JET_errDatabaseCorrupted;
  }
  if (last_variable_ < 127) return JET_errDatabaseCorrupted;
  if (last_fixed_ > 127) return JET_errDatabaseCorrupted;
  const std::size_t bitmap = (std::size_t{last_fixed_} + 7) / 8;
  if (fixed_end_ < 4 + bitmap || fixed_end_ > data.size()) return JET_errDatabaseCorrupted;
  const std::size_t var_count = last_variable_ - 127u;
  variable_start_ = fixed_end_ + 2 * var_count;
  if (variable_start_ > data.size()) return JET_errDatabaseCorrupted;
  std::uint16_t last_end = 0;
  if (var_count > 0) data.U16(fixed_end_ + 2 * (var_count - 1), last_end);
  tagged_start_ = variable_start_ + (last_end & 0x7fffu);
  if (tagged_start_ > data.size()) return JET_errDatabaseCorrupted;
  return JET_errSuccess;
}

JET_ERR Record::Get(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                    StoredValue& out, std::uint32_t* value_count) const {
  if (itag == 0) itag = 1;
  out = StoredValue{};
  if (column.is_fixed()) {
    if (column.id > last_fixed_) {
      out = DefaultOf(column, itag, value_count);
      return JET_errSuccess;
    }
    const std::size_t bitmap_at = fixed_end_ - (std::size_t{last_fixed_} + 7) / 8;
    std::uint8_t bits = 0;
    data_.U8(bitmap_at + (column.id - 1) / 8, bits);
    const bool is_null = (bits >> ((column.id - 1) % 8)) & 1u;
    if (value_count != nullptr) *value_count = is_null ? 0 : 1;
    if (is_null || itag > 1) return JET_errSuccess;
    if (column.record_offset < 4 || column.record_offset + std::size_t{column.fixed_size} > bitmap_at) {
      return JET_errDatabaseCorrupted;
    }
    data_.Sub(column.record_offset, column.fixed_size, out.bytes);
    out.kind = ValueKind::kInline;
    return JET_errSuccess;
  }
  if (column.is_variable()) {
    if (column.id > last_variable_) {
      out = DefaultOf(column, itag, value_count);
      return JET_errSuccess;
    }
    const std::size_t slot = column.id - 128u;
    std::uint16_t end = 0;
    std::uint16_t start = 0;
    data_.U16(fixed_end_ + 2 * slot, end);
    if (slot > 0) data_.U16(fixed_end_ + 2 * (slot - 1), start);
    const bool is_null = (end & 0x8000u) != 0;
    if (value_count != nullptr) *value_count = is_null ? 0 : 1;
    if (is_null || itag > 1) return JET_errSuccess;
    const std::size_t from = start & 0x7fffu;
    const std::size_t to = end & 0x7fffu;
    if (to < from || !data_.Sub(variable_start_ + from, to - from, out.bytes)) {
      return JET_errDatabaseCorrupted;
    }
    if (variable_start_ + to > tagged_start_) return JET_errDatabaseCorrupted;
    out.kind = ValueKind::kInline;
    return JET_errSuccess;
  }
  return GetTagged(column, derived_table, itag, out, value_count);
}

void Record::IndexTagged(ByteView area, std::size_t entries) const {
  if (++stamp_ == 0) {
    // The stamps went round: forget them all so that no old one matches.
    tag_stamp_.fill(0);
    stamp_ = 1;
  }
  tags_indexed_ = true;
  for (std::size_t i = 0; i < entries; ++i) {
    std::uint16_t fid = 0;
    std::uint16_t ib = 0;
    area.U16(4 * i, fid);
    area.U16(4 * i + 2, ib);
    // An entry with the derived bit belongs to a template column, which a
    // table without a template does not have.
    if ((ib & 0x8000u) != 0 || fid < 256 || fid - 256u >= kIndexedTags) continue;
    const std::size_t slot = fid - 256u;
    if (tag_stamp_[slot] == stamp_) continue;  // the first entry for an id wins
    tag_stamp_[slot] = stamp_;
    tag_slot_[slot] = static_cast<std::uint16_t>(i);
  }
}

std::size_t Record::SearchTagged(ByteView area, std::size_t entries, const ColumnInfo& column,
                                 bool derived_table) const {
  // The directory is sorted with template columns (derived bit) first,
  // each group by column id.
  const std::uint32_t want_fid = column.id;
  const bool want_derived = derived_table && column.from_template;
  auto rank = [](bool derived, std::uint32_t fid) {
    return (derived ? 0u : 0x10000u) | fid;
  };
  const std::uint32_t want = rank(want_derived, want_fid);
  std::size_t lo = 0;
  std::size_t hi = entries;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    std::uint16_t fid = 0;
    std::uint16_t ib = 0;
    area.U16(4 * mid, fid);
    area.U16(4 * mid + 2, ib);
    if (rank((ib & 0x8000u) != 0, fid) < want) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  std::size_t found = entries;
  if (lo < entries) {
    std::uint16_t fid = 0;
    std::uint16_t ib = 0;
    area.U16(4 * lo, fid);
    area.U16(4 * lo + 2, ib);
    if (fid == want_fid && (!derived_table || ((ib & 0x8000u) != 0) == want_derived)) found = lo;
  }
  if (found == entries && derived_table) {
    // Tables derived in the oldest format carry no derived bit; there the
    // column id alone identifies the column.
    bool any_derived_bit = false;
    for (std::size_t i = 0; i < entries && !any_derived_bit; ++i) {
      std::uint16_t ib = 0;
      area.U16(4 * i + 2, ib);
      any_derived_bit = (ib & 0x8000u) != 0;
    }
    for (std::size_t i = 0; i < entries && !any_derived_bit; ++i) {
      std::uint16_t fid = 0;
      area.U16(4 * i, fid);
      if (fid == want_fid) {
        found = i;
        break;
      }
    }
  }
  return found;
}

JET_ERR Record::GetTagged(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                          StoredValue& out, std::uint32_t* value_count) const {
  ByteView area;
  data_.Sub(tagged_start_, data_.size() - tagged_start_, area);
  if (area.size() < 4) {
    out = DefaultOf(column, itag, value_count);
    return JET_errSuccess;
  }
  const std::uint16_t offset_mask = large_ ? 0x7fff : 0x1fff;
  std::uint16_t first_offset = 0;
  area.U16(2, first_offset);
  const std::size_t entries = (first_offset & offset_mask) / 4u;
  if (entries == 0 || entries * 4 > area.size()) return JET_errDatabaseCorrupted;

  std::size_t found = entries;
  const std::size_t slot = column.id - 256u;
  if (!derived_table && column.id >= 256 && slot < kIndexedTags) {
    if (!tags_indexed_) IndexTagged(area, entries);
    if (tag_stamp_[slot] == stamp_) found = tag_slot_[slot];
  } else {
    found = SearchTagged(area, entries, column, derived_table);
  }
  if (found == entries) {
    out = DefaultOf(column, itag, value_count);
    return JET_errSuccess;
  }

  std::uint16_t ib = 0;
  area.U16(4 * found + 2, ib);
  std::size_t begin = ib & offset_mask;
  std::size_t end = area.size();
  if (found + 1 < entries) {
    std::uint16_t next_ib = 0;
    area.U16(4 * (found + 1) + 2, next_ib);
    end = next_ib & offset_mask;
  }
  if (begin < entries * 4 || end < begin || end > area.size()) return JET_errDatabaseCorrupted;
  ByteView value;
  area.Sub(begin, end - begin, value);

  const bool has_flags_byte = large_ || (ib & 0x4000u) != 0;
  const bool null_small = !large_ && (ib & 0x2000u) != 0;
  if (null_small) {
    if (value_count != nullptr) *value_count = 0;
    return JET_errSuccess;
  }
  std::uint8_t flags = 0;
  if (has_flags_byte) {
    if (!value.U8(0, flags)) return JET_errDatabaseCorrupted;
    value.Sub(1, value.size() - 1, value);
    if (!has_compression_) flags &= static_cast<std::uint8_t>(~kTagCompressedValue);
  }
  if (flags & kTagNull) {
    if (value_count != nullptr) *value_count = 0;
    return JET_errSuccess;
  }
  (void)kTagLongValue;
  if (flags & kTagTwoValues) {
    std::uint8_t first_size = 0;
    if (!value.U8(0, first_size) || 1u + first_size > value.size()) return JET_errDatabaseCorrupted;
    if (value_count != nullptr) *value_count = 2;
    if (itag == 1) {
      value.Sub(1, first_size, out.bytes);
    } else if (itag == 2) {
      value.Sub(1u + first_size, value.size() - 1u - first_size, out.bytes);
    } else {
      return JET_errSuccess;
    }
    out.kind = ValueKind::kInline;
    return JET_errSuccess;
  }
  if (flags & kTagMultiValues) {
    std::uint16_t first = 0;
    if (!value.U16(0, first)) return JET_errDatabaseCorrupted;
    const std::size_t count = (first & 0x7fffu) / 2u;
    if (count == 0 || count * 2 > value.size()) return JET_errDatabaseCorrupted;
    if (value_count != nullptr) *value_count = static_cast<std::uint32_t>(count);
    if (itag > count) return JET_errSuccess;
    const std::size_t i = itag - 1;
    std::uint16_t at = 0;
    std::uint16_t next = 0;
    value.U16(2 * i, at);
    std::size_t to = value.size();
    if (i + 1 < count) {
      value.U16(2 * (i + 1), next);
      to = next & 0x7fffu;
    }
    const std::size_t from = at & 0x7fffu;
    if (from < count * 2 || to < from || to > value.size()) return JET_errDatabaseCorrupted;
    value.Sub(from, to - from, out.bytes);
    if (at & 0x8000u) {
      out.kind = ValueKind::kSeparated;
    } else if ((flags & kTagCompressedValue) && i == 0) {
      out.kind = ValueKind::kCompressed;
    } else {
      out.kind = ValueKind::kInline;
    }
    return JET_errSuccess;
  }
  if (value_count != nullptr) *value_count = 1;
  if (itag > 1) return JET_errSuccess;
  out.bytes = value;
  if (flags & kTagSeparated) {
    out.kind = ValueKind::kSeparated;
  } else if (flags & kTagCompressedValue) {
    out.kind = ValueKind::kCompressed;
  } else {
    out.kind = ValueKind::kInline;
  }
  return JET_errSuccess;
}

}  // namespace ese
