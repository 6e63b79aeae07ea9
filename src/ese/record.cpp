// SPDX-License-Identifier: Apache-2.0
#include "ese/record.h"


namespace ese {
namespace {

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

Status Record::parse(ByteView data, bool large_page, bool has_compression) {
  data_ = data;
  large_ = large_page;
  has_compression_ = has_compression;
  tags_ready_ = false;
  tags_located_ = false;
  searched_ = Searched{};
  if (!data.U8(0, last_fixed_) || !data.U8(1, last_variable_) || !data.U16(2, fixed_end_)) {
    return corrupt("the record is shorter than its header");
  }
  if (last_variable_ < 127) return corrupt("the record's last variable column id is below 127");
  if (last_fixed_ > 127) return corrupt("the record's last fixed column id is above 127");
  const std::size_t bitmap = (std::size_t{last_fixed_} + 7) / 8;
  if (fixed_end_ < 4 + bitmap || fixed_end_ > data.size()) {
    return corrupt("the record's fixed data ends outside the record");
  }
  bitmap_at_ = fixed_end_ - bitmap;
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

Status Record::get(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                    StoredValue& out, std::uint32_t* value_count) const {
  if (itag == 0) itag = 1;
  out = StoredValue{};
  if (column.is_fixed() || column.is_variable()) {
    const bool fixed = column.is_fixed();
    if (column.id > (fixed ? last_fixed_ : last_variable_)) {
      out = defaultOf(column, itag, value_count);
      return JET_errSuccess;
    }
    // The quick answer settles all but a value that lies outside its area.
    ByteView bytes;
    switch (fixed ? quickFixed(column, 1, bytes) : quickVariable(column, 1, bytes)) {
      case Quick::kNull:
        if (value_count != nullptr) *value_count = 0;
        return JET_errSuccess;
      case Quick::kValue:
        if (value_count != nullptr) *value_count = 1;
        if (itag == 1) {
          out.kind = ValueKind::kInline;
          out.bytes = bytes;
        }
        return JET_errSuccess;
      case Quick::kAsk:
        break;
    }
    if (value_count != nullptr) *value_count = 1;
    if (itag > 1) return JET_errSuccess;
    return corrupt(fixed ? "a fixed column's value runs into the record's null bitmap"
                         : "a variable column's value lies outside the record's variable data");
  }
  return getTagged(column, derived_table, itag, out, value_count);
}

namespace {

// Entry `i` of a tagged directory known to hold it: the column id and the
// offset word.
void directoryEntry(const std::byte* directory, std::size_t i, std::uint16_t& fid,
                    std::uint16_t& ib) {
  fid = corvadex::base::loadLe16(directory + 4 * i);
  ib = corvadex::base::loadLe16(directory + 4 * i + 2);
}

}  // namespace

Status Record::locateTagged() const {
  // Parse checked that the tagged data starts inside the record.
  tagged_ = data_.from(tagged_start_);
  entries_ = 0;
  if (tagged_.size() >= 4) {
    const std::uint16_t offset_mask = large_ ? 0x7fff : 0x1fff;
    std::uint16_t first_offset = 0;
    if (!tagged_.U16(2, first_offset)) {
      return corrupt("the tagged directory runs past the record's end");
    }
    const std::size_t entries = (first_offset & offset_mask) / 4u;
    if (entries == 0 || entries * 4 > tagged_.size()) {
      return corrupt("the tagged directory runs past the record's end");
    }
    entries_ = entries;
  }
  return JET_errSuccess;
}

bool Record::openTagged(TaggedWalk& walk) const {
  derived_ = false;
  tags_ready_ = false;
  tags_located_ = false;
  walk = TaggedWalk{};
  if (locateTagged() != JET_errSuccess) return false;  // get reports the damage
  // Walked in order only when every entry is a column of the table's own,
  // each after the one before; else get indexes the directory as always.
  std::uint32_t last = 0;
  for (std::size_t i = 0; i < entries_; ++i) {
    std::uint16_t fid = 0;
    std::uint16_t ib = 0;
    directoryEntry(tagged_.data(), i, fid, ib);
    if ((ib & 0x8000u) != 0 || fid <= last) return false;
    last = fid;
  }
  tags_located_ = true;
  walk.tagged_ = tagged_.data();
  walk.size_ = tagged_.size();
  walk.entries_ = entries_;
  walk.large_ = large_;
  walk.compression_ = has_compression_;
  return true;
}

Status Record::prepareTagged() const {
  tags_located_ = false;
  if (Status err = locateTagged(); err != JET_errSuccess) return err;
  tags_ready_ = true;
  if (derived_) return JET_errSuccess;
  if (++stamp_ == 0) {
    // The stamps went round: forget them all so that no old one matches.
    tag_stamp_.fill(0);
    stamp_ = 1;
  }
  // The record's fields as locals: the loop's stores into the tables could
  // otherwise alias them and have them read again for every entry.
  const std::byte* const tagged = tagged_.data();
  const std::size_t size = tagged_.size();
  const std::size_t entries = entries_;
  const std::uint32_t stamp = stamp_;
  const bool large = large_;
  const bool compression = has_compression_;
  std::uint32_t* const stamps = tag_stamp_.data();
  for (std::size_t i = 0; i < entries; ++i) {
    std::uint16_t fid = 0;
    std::uint16_t ib = 0;
    directoryEntry(tagged, i, fid, ib);
    // An entry with the derived bit belongs to a template column, which a
    // table without a template does not have.
    const std::size_t slot = fid - 256u;  // wraps for ids below 256
    if ((ib & 0x8000u) != 0 || slot >= kIndexedTags) continue;
    if (stamps[slot] == stamp) continue;  // the first entry for an id wins
    stamps[slot] = stamp;
    tag_entry_[slot] = decodeTag(tagged, size, entries, i, ib, large, compression);
  }
  return JET_errSuccess;
}

std::size_t Record::searchTagged(const ColumnInfo& column, bool derived_table) const {
  // The directory is sorted with template columns (derived bit) first,
  // each group by column id.
  const std::byte* directory = tagged_.data();
  const std::size_t entries = entries_;
  const std::uint32_t want_fid = column.id;
  const bool want_derived = derived_table && column.from_template;
  auto rank = [](bool derived, std::uint32_t fid) {
    return (derived ? 0u : 0x10000u) | fid;
  };
  const std::uint32_t want = rank(want_derived, want_fid);
  std::uint16_t fid = 0;
  std::uint16_t ib = 0;
  // The first entry not ranked below the column's. The halving takes a
  // branch on nothing but the count: which half the column is in is hard
  // to foretell, so it only selects the next base.
  std::size_t lo = 0;
  if (entries > 0) {
    std::size_t base = 0;
    for (std::size_t n = entries; n > 1; n -= n / 2) {
      directoryEntry(directory, base + n / 2, fid, ib);
      base = rank((ib & 0x8000u) != 0, fid) < want ? base + n / 2 : base;
    }
    directoryEntry(directory, base, fid, ib);
    lo = base + (rank((ib & 0x8000u) != 0, fid) < want ? 1 : 0);
  }
  std::size_t found = entries;
  if (lo < entries) {
    directoryEntry(directory, lo, fid, ib);
    if (fid == want_fid && (!derived_table || ((ib & 0x8000u) != 0) == want_derived)) found = lo;
  }
  if (found == entries && derived_table) {
    // Tables derived in the oldest format carry no derived bit; there the
    // column id alone identifies the column.
    bool any_derived_bit = false;
    for (std::size_t i = 0; i < entries && !any_derived_bit; ++i) {
      directoryEntry(directory, i, fid, ib);
      any_derived_bit = (ib & 0x8000u) != 0;
    }
    for (std::size_t i = 0; i < entries && !any_derived_bit; ++i) {
      directoryEntry(directory, i, fid, ib);
      if (fid == want_fid) {
        found = i;
        break;
      }
    }
  }
  return found;
}

Status Record::getTagged(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                          StoredValue& out, std::uint32_t* value_count) const {
  if (derived_ != derived_table || (!tags_ready_ && !tags_located_)) {
    derived_ = derived_table;
    if (Status err = prepareTagged(); err != JET_errSuccess) return err;
  }
  if (entries_ == 0) {
    out = defaultOf(column, itag, value_count);
    return JET_errSuccess;
  }
  std::size_t found = entries_;
  const std::size_t slot = column.id - 256u;
  if (tags_ready_ && !derived_table && column.id >= 256 && slot < kIndexedTags) {
    if (tag_stamp_[slot] == stamp_) {
      const TagEntry& e = tag_entry_[slot];
      switch (e.shape) {
        case TagShape::kPlain:
          if (value_count != nullptr) *value_count = 1;
          if (itag > 1) return JET_errSuccess;
          out.kind = ValueKind::kInline;
          out.bytes = ByteView(tagged_.data() + e.begin, e.size);
          return JET_errSuccess;
        case TagShape::kNull:
          if (value_count != nullptr) *value_count = 0;
          return JET_errSuccess;
        case TagShape::kOther: found = e.index; break;
      }
    }
  } else if (searched_.id == column.id && searched_.derived_table == derived_table &&
             searched_.from_template == column.from_template) {
    found = searched_.found;  // a column read again: counted, then its values
  } else {
    found = searchTagged(column, derived_table);
    searched_ = Searched{column.id, derived_table, column.from_template, found};
  }
  if (found == entries_) {
    out = defaultOf(column, itag, value_count);
    return JET_errSuccess;
  }

  // prepareTagged checked that the whole directory lies inside the tagged
  // data.
  const std::size_t entries = entries_;
  const ByteView& area = tagged_;
  const std::uint16_t offset_mask = large_ ? 0x7fff : 0x1fff;
  const std::uint16_t ib = corvadex::base::loadLe16(area.data() + 4 * found + 2);
  const std::uint16_t next_ib =
      found + 1 < entries ? corvadex::base::loadLe16(area.data() + 4 * found + 6) : 0;
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
