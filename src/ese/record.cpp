// SPDX-License-Identifier: Apache-2.0
#include "ese/record.h"

#include "ese/failure_note.h"

namespace ese {
namespace {

constexpr std::uint8_t kTagLongValue = 0x01;
constexpr std::uint8_t kTagCompressedValue = 0x02;
constexpr std::uint8_t kTagSeparated = 0x04;
constexpr std::uint8_t kTagMultiValues = 0x08;
constexpr std::uint8_t kTagTwoValues = 0x10;
constexpr std::uint8_t kTagNull = 0x20;

StoredValue defaultOf(const ColumnInfo& column, std::uint32_t itag, std::uint32_t* count) {
  StoredValue v;
  if (column.has_default && itag <= 1) {
    v.kind = ValueKind::kInline;
    v.bytes = ByteView(column.default_value.data(), column.default_value.size());
  }
  if (count != nullptr) *count = column.has_default ? 1 : 0;
  return v;
}

}  // namespace

JET_ERR Record::parse(ByteView data, bool large_page, bool has_compression) {
  data_ = data;
  large_ = large_page;
  has_compression_ = has_compression;
  tags_indexed_ = false;
  if (!data.U8(0, last_fixed_) || !data.U8(1, last_variable_) || !data.U16(2, fixed_end_)) {
    return corrupt("the record is shorter than its header");
  }
  if (last_variable_ < 127) return corrupt("the record's last variable column id is below 127");
  if (last_fixed_ > 127) return corrupt("the record's last fixed column id is above 127");
  const std::size_t bitmap = (std::size_t{last_fixed_} + 7) / 8;
  if (fixed_end_ < 4 + bitmap || fixed_end_ > data.size()) {
    return corrupt("the record's fixed data ends outside the record");
  }
  const std::size_t var_count = last_variable_ - 127u;
  variable_start_ = fixed_end_ + 2 * var_count;
  std::uint16_t last_end = 0;
  if (var_count > 0 && !data.U16(fixed_end_ + 2 * (var_count - 1), last_end)) {
    return corrupt("the record's variable offsets run past its end");
  }
  tagged_start_ = variable_start_ + (last_end & 0x7fffu);
  if (tagged_start_ > data.size()) return corrupt("the record's variable data runs past its end");
  return JET_errSuccess;
}

JET_ERR Record::get(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                    StoredValue& out, std::uint32_t* value_count) const {
  if (itag == 0) itag = 1;
  out = StoredValue{};
  if (column.is_fixed()) {
    if (column.id > last_fixed_) {
      out = defaultOf(column, itag, value_count);
      return JET_errSuccess;
    }
    const std::size_t bitmap_at = fixed_end_ - (std::size_t{last_fixed_} + 7) / 8;
    // Parse checked that the bitmap lies inside the record.
    std::uint8_t bits = 0;
    if (!data_.U8(bitmap_at + (column.id - 1) / 8, bits)) {
      return corrupt("the record's null bitmap runs past its end");
    }
    const bool is_null = (bits >> ((column.id - 1) % 8)) & 1u;
    if (value_count != nullptr) *value_count = is_null ? 0 : 1;
    if (is_null || itag > 1) return JET_errSuccess;
    if (column.record_offset < 4 || column.record_offset + std::size_t{column.fixed_size} > bitmap_at ||
        !data_.sub(column.record_offset, column.fixed_size, out.bytes)) {
      return corrupt("a fixed column's value runs into the record's null bitmap");
    }
    out.kind = ValueKind::kInline;
    return JET_errSuccess;
  }
  if (column.is_variable()) {
    if (column.id > last_variable_) {
      out = defaultOf(column, itag, value_count);
      return JET_errSuccess;
    }
    const std::size_t slot = column.id - 128u;
    // Parse checked that the offsets of columns up to the last lie inside.
    std::uint16_t end = 0;
    std::uint16_t start = 0;
    if (!data_.U16(fixed_end_ + 2 * slot, end) ||
        (slot > 0 && !data_.U16(fixed_end_ + 2 * (slot - 1), start))) {
      return corrupt("the record's variable offsets run past its end");
    }
    const bool is_null = (end & 0x8000u) != 0;
    if (value_count != nullptr) *value_count = is_null ? 0 : 1;
    if (is_null || itag > 1) return JET_errSuccess;
    const std::size_t from = start & 0x7fffu;
    const std::size_t to = end & 0x7fffu;
    if (to < from || variable_start_ + to > tagged_start_ ||
        !data_.sub(variable_start_ + from, to - from, out.bytes)) {
      return corrupt("a variable column's value lies outside the record's variable data");
    }
    out.kind = ValueKind::kInline;
    return JET_errSuccess;
  }
  return getTagged(column, derived_table, itag, out, value_count);
}

namespace {

// Entry `i` of the tagged directory: the column id and the offset word.
bool directoryEntry(const ByteView& directory, std::size_t i, std::uint16_t& fid,
                    std::uint16_t& ib) {
  return directory.U16(4 * i, fid) && directory.U16(4 * i + 2, ib);
}

}  // namespace

bool Record::indexTagged(ByteView directory, std::size_t entries) const {
  if (++stamp_ == 0) {
    // The stamps went round: forget them all so that no old one matches.
    tag_stamp_.fill(0);
    stamp_ = 1;
  }
  tags_indexed_ = true;
  for (std::size_t i = 0; i < entries; ++i) {
    std::uint16_t fid = 0;
    std::uint16_t ib = 0;
    if (!directoryEntry(directory, i, fid, ib)) return false;
    // An entry with the derived bit belongs to a template column, which a
    // table without a template does not have.
    if ((ib & 0x8000u) != 0 || fid < 256 || fid - 256u >= kIndexedTags) continue;
    const std::size_t slot = fid - 256u;
    if (tag_stamp_[slot] == stamp_) continue;  // the first entry for an id wins
    tag_stamp_[slot] = stamp_;
    tag_slot_[slot] = static_cast<std::uint16_t>(i);
  }
  return true;
}

bool Record::searchTagged(ByteView directory, std::size_t entries, const ColumnInfo& column,
                          bool derived_table, std::size_t& found) const {
  // The directory is sorted with template columns (derived bit) first,
  // each group by column id.
  const std::uint32_t want_fid = column.id;
  const bool want_derived = derived_table && column.from_template;
  auto rank = [](bool derived, std::uint32_t fid) {
    return (derived ? 0u : 0x10000u) | fid;
  };
  const std::uint32_t want = rank(want_derived, want_fid);
  std::uint16_t fid = 0;
  std::uint16_t ib = 0;
  std::size_t lo = 0;
  std::size_t hi = entries;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (!directoryEntry(directory, mid, fid, ib)) return false;
    if (rank((ib & 0x8000u) != 0, fid) < want) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  found = entries;
  if (lo < entries) {
    if (!directoryEntry(directory, lo, fid, ib)) return false;
    if (fid == want_fid && (!derived_table || ((ib & 0x8000u) != 0) == want_derived)) found = lo;
  }
  if (found == entries && derived_table) {
    // Tables derived in the oldest format carry no derived bit; there the
    // column id alone identifies the column.
    bool any_derived_bit = false;
    for (std::size_t i = 0; i < entries && !any_derived_bit; ++i) {
      if (!directoryEntry(directory, i, fid, ib)) return false;
      any_derived_bit = (ib & 0x8000u) != 0;
    }
    for (std::size_t i = 0; i < entries && !any_derived_bit; ++i) {
      if (!directoryEntry(directory, i, fid, ib)) return false;
      if (fid == want_fid) {
        found = i;
        break;
      }
    }
  }
  return true;
}

JET_ERR Record::getTagged(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                          StoredValue& out, std::uint32_t* value_count) const {
  // Parse checked that the tagged data starts inside the record.
  const ByteView area = data_.from(tagged_start_);
  if (area.size() < 4) {
    out = defaultOf(column, itag, value_count);
    return JET_errSuccess;
  }
  const std::uint16_t offset_mask = large_ ? 0x7fff : 0x1fff;
  std::uint16_t first_offset = 0;
  if (!area.U16(2, first_offset)) return corrupt("the tagged directory runs past the record's end");
  const std::size_t entries = (first_offset & offset_mask) / 4u;
  ByteView directory;
  if (entries == 0 || !area.sub(0, entries * 4, directory)) {
    return corrupt("the tagged directory runs past the record's end");
  }

  std::size_t found = entries;
  const std::size_t slot = column.id - 256u;
  if (!derived_table && column.id >= 256 && slot < kIndexedTags) {
    if (!tags_indexed_ && !indexTagged(directory, entries)) {
      return corrupt("the tagged directory runs past the record's end");
    }
    if (tag_stamp_[slot] == stamp_) found = tag_slot_[slot];
  } else if (!searchTagged(directory, entries, column, derived_table, found)) {
    return corrupt("the tagged directory runs past the record's end");
  }
  if (found == entries) {
    out = defaultOf(column, itag, value_count);
    return JET_errSuccess;
  }

  std::uint16_t fid = 0;
  std::uint16_t ib = 0;
  std::uint16_t next_ib = 0;
  if (!directoryEntry(directory, found, fid, ib) ||
      (found + 1 < entries && !directoryEntry(directory, found + 1, fid, next_ib))) {
    return corrupt("the tagged directory runs past the record's end");
  }
  const std::size_t begin = ib & offset_mask;
  const std::size_t end = found + 1 < entries ? next_ib & offset_mask : area.size();
  ByteView value;
  if (begin < entries * 4 || end < begin || !area.sub(begin, end - begin, value)) {
    return corrupt("a tagged value lies outside the record's tagged data");
  }

  const bool has_flags_byte = large_ || (ib & 0x4000u) != 0;
  const bool null_small = !large_ && (ib & 0x2000u) != 0;
  if (null_small) {
    if (value_count != nullptr) *value_count = 0;
    return JET_errSuccess;
  }
  std::uint8_t flags = 0;
  if (has_flags_byte) {
    if (!value.U8(0, flags)) return corrupt("a tagged value has no room for its flags byte");
    value = value.from(1);
    if (!has_compression_) flags &= static_cast<std::uint8_t>(~kTagCompressedValue);
  }
  if (flags & kTagNull) {
    if (value_count != nullptr) *value_count = 0;
    return JET_errSuccess;
  }
  (void)kTagLongValue;
  if (flags & kTagTwoValues) {
    std::uint8_t first_size = 0;
    ByteView first;
    if (!value.U8(0, first_size) || !value.sub(1, first_size, first)) {
      return corrupt("the first of two values runs past the column's end");
    }
    if (value_count != nullptr) *value_count = 2;
    if (itag > 2) return JET_errSuccess;
    out.bytes = itag == 1 ? first : value.from(1u + first_size);
    out.kind = ValueKind::kInline;
    return JET_errSuccess;
  }
  if (flags & kTagMultiValues) {
    std::uint16_t first = 0;
    if (!value.U16(0, first)) return corrupt("a multi-valued column is too short for its offsets");
    const std::size_t count = (first & 0x7fffu) / 2u;
    if (count == 0 || count * 2 > value.size()) {
      return corrupt("a multi-valued column's offsets run past its end");
    }
    if (value_count != nullptr) *value_count = static_cast<std::uint32_t>(count);
    if (itag > count) return JET_errSuccess;
    const std::size_t i = itag - 1;
    std::uint16_t at = 0;
    std::uint16_t next = 0;
    if (!value.U16(2 * i, at) || (i + 1 < count && !value.U16(2 * (i + 1), next))) {
      return corrupt("a multi-valued column's offsets run past its end");
    }
    const std::size_t to = i + 1 < count ? next & 0x7fffu : value.size();
    const std::size_t from = at & 0x7fffu;
    if (from < count * 2 || to < from || !value.sub(from, to - from, out.bytes)) {
      return corrupt("one of a column's several values lies outside the column");
    }
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
