// SPDX-License-Identifier: Apache-2.0
// A table record: the data of a leaf entry of the table's B+-tree.
//
//   offset size  field
//        0    1  id of the last fixed column stored (0: none)
//        1    1  id of the last variable column stored (127: none)
//        2    2  end of the fixed data, null bitmap included
//        4    .  fixed column values, by column id, each its type's size
//        .    .  null bitmap of the fixed columns: bit (id - 1), set = null
//        .    .  variable offsets: one u16 per variable column id 128..last,
//                the end of that column's value relative to the start of
//                the variable data; bit 0x8000 = null
//        .    .  variable data
//        .    .  tagged data, to the end of the record:
//                a directory of 4-byte entries (u16 column id, u16 offset
//                of its value from the start of the tagged data) sorted by
//                column id; the first entry's offset is the directory's
//                size. A value runs to the next entry's offset.
// Tagged offset bits: in pages up to 8 KiB, 0x1fff offset, 0x2000 null,
// 0x4000 the value starts with a flags byte, 0x8000 a template column of a
// derived table; in 16/32 KiB pages, 0x7fff offset, 0x8000 template column,
// and every value starts with the flags byte:
//   0x01 long value  0x02 compressed  0x04 stored in the long-value tree
//   0x08 several values  0x10 two values  0x20 null
// (Files older than format revision 0x11 had no compression; there 0x02
// marked a streaming-file value and is not read as compression.)
// Two values: a byte with the size of the first, then both values.
// Several values: u16 offsets (relative to after the flags byte; bit 0x8000
// = that value is in the long-value tree), then the values; the number of
// values is the first offset / 2. Only the first value may be compressed.
// A value kept in the long-value tree is stored as its 4- or 8-byte id.
#pragma once

#include <array>
#include <cstdint>

#include "base/byte_view.h"
#include "ese/schema.h"
#include "ese/jet.h"
#include "ese/status.h"

namespace ese {

using corvadex::base::Bytes;
using corvadex::base::ByteView;

enum class ValueKind {
  kNull,        // no value
  kInline,      // the bytes are the value
  kSeparated,   // the bytes are a long-value id
  kCompressed,  // the bytes are a compressed value
};

struct StoredValue {
  ValueKind kind = ValueKind::kNull;
  ByteView bytes;
};

class Record {
 public:
  // Checks the header and locates the areas. JET_errDatabaseCorrupted
  // when they do not fit in `data`, naming the check that failed (the
  // caller adds the page).
  Status parse(ByteView data, bool large_page, bool has_compression = true);

  // Value `itag` (1-based) of `column`; kNull beyond the last value. A
  // column the record does not store reads its default value, if any.
  // `value_count`, when given, receives the number of values.
  Status get(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
              StoredValue& out, std::uint32_t* value_count = nullptr) const;

  // get's answer without a call, for a table that derives from no
  // template, when it is a plain value (`bytes`), a null, or a column
  // absent that has no default: always for fixed and variable columns
  // whose value lies where the record says, and for tagged columns once
  // the row's tagged directory is prepared (by an earlier get of a tagged
  // column). kAsk when get must be asked.
  enum class Quick : std::uint8_t { kAsk, kNull, kValue };
  Quick quick(const ColumnInfo& column, std::uint32_t itag, ByteView& bytes) const;

  // The row's tagged directory, opened for a walk in order. A copy of what
  // the walk needs, so that a caller's loop keeps it in registers.
  class TaggedWalk {
   public:
    std::size_t entries() const { return entries_; }
    // Entry `i`'s column id.
    std::uint32_t id(std::size_t i) const { return corvadex::base::loadLe16(tagged_ + 4 * i); }
    // Entry `i`'s value as quick gives it (kAsk: read it with get).
    // kLarge must be large(): the walk is written once for each page size.
    template <bool kLarge>
    Quick value(std::size_t i, ByteView& bytes) const;
    bool large() const { return large_; }

   private:
    friend class Record;
    const std::byte* tagged_ = nullptr;
    std::size_t size_ = 0;
    std::size_t entries_ = 0;
    bool large_ = false;
    bool compression_ = true;
  };
  // Opens the directory for a walk, for a table that derives from no
  // template: true when every entry is a column of the table's own and each
  // has a higher column id than the one before (as the format stores them);
  // until the next row, gets then search the directory instead of indexing
  // it. False when the directory is damaged (get reports how) or not in
  // that order.
  bool openTagged(TaggedWalk& walk) const;

  // Whether `bytes` lie in the record (and so stay in place while the
  // record's page is held).
  bool holds(Bytes bytes) const {
    const auto at = reinterpret_cast<std::uintptr_t>(bytes.data());
    const auto begin = reinterpret_cast<std::uintptr_t>(data_.data());
    return at >= begin && at - begin <= data_.size() && bytes.size() <= data_.size() - (at - begin);
  }

 private:
  Status getTagged(const ColumnInfo& column, bool derived_table, std::uint32_t itag,
                    StoredValue& out, std::uint32_t* value_count) const;
  // Finds the current row's tagged directory, checks that it lies inside
  // the tagged data and, for tables that derive from no template (where
  // the column id alone names a column), notes where each column id sits
  // in it. Done on the row's first read of a tagged column.
  Status prepareTagged() const;
  // The first part of that: the directory found and checked.
  Status locateTagged() const;
  Quick quickFixed(const ColumnInfo& column, std::uint32_t itag, ByteView& bytes) const;
  Quick quickVariable(const ColumnInfo& column, std::uint32_t itag, ByteView& bytes) const;
  Quick quickTagged(std::uint32_t column_id, bool has_default, std::uint32_t itag,
                    ByteView& bytes) const;
  // Position in the tagged directory of `column`'s entry, entries_ when
  // the record has none.
  std::size_t searchTagged(const ColumnInfo& column, bool derived_table) const;

  // Where each column id sits in the directory, and where its value lies
  // when it is a plain one: every read of the row costs one array lookup
  // instead of a binary search and a decoding. Slot k is for column id
  // 256 + k and is valid when its stamp is stamp_.
  enum class TagShape : std::uint8_t {
    kPlain,  // one value, in the record: [begin, begin + size) of tagged_
    kNull,   // no value
    kOther,  // anything else: decoded when read
  };
  struct TagEntry {
    std::uint16_t index = 0;  // in the directory
    std::uint16_t begin = 0;
    std::uint16_t size = 0;
    TagShape shape = TagShape::kOther;
  };
  // Entry `i` (offset word `ib`) of the directory of `entries` at
  // `tagged`, `size` bytes of tagged data: its shape and, for a plain
  // value, where it lies.
  [[gnu::always_inline]] static TagEntry decodeTag(const std::byte* tagged, std::size_t size,
                                                   std::size_t entries, std::size_t i,
                                                   std::uint16_t ib, bool large,
                                                   bool compression);
  // The flags byte of a tagged value (see the top of this file).
  static constexpr std::uint8_t kTagCompressedValue = 0x02;
  static constexpr std::uint8_t kTagSeparated = 0x04;
  static constexpr std::uint8_t kTagMultiValues = 0x08;
  static constexpr std::uint8_t kTagTwoValues = 0x10;
  static constexpr std::uint8_t kTagNull = 0x20;
  static constexpr std::size_t kIndexedTags = 512;
  mutable std::array<TagEntry, kIndexedTags> tag_entry_{};
  mutable std::array<std::uint32_t, kIndexedTags> tag_stamp_{};
  mutable std::uint32_t stamp_ = 0;
  mutable bool tags_ready_ = false;
  mutable bool tags_located_ = false;  // opened for a walk: found, not indexed
  mutable bool derived_ = false;       // prepared for a derived table
  mutable ByteView tagged_;            // the tagged data
  // The row's latest search of its directory (id 0: none).
  struct Searched {
    std::uint32_t id = 0;
    bool derived_table = false;
    bool from_template = false;
    std::size_t found = 0;
  };
  mutable Searched searched_;
  mutable std::size_t entries_ = 0;    // directory entries (0: no tagged data)

  ByteView data_;
  bool large_ = false;
  bool has_compression_ = true;
  std::uint8_t last_fixed_ = 0;
  std::uint8_t last_variable_ = 127;
  std::uint16_t fixed_end_ = 4;
  std::size_t bitmap_at_ = 4;  // the null bitmap of the fixed columns
  std::size_t variable_start_ = 0;
  std::size_t tagged_start_ = 0;
};

[[gnu::always_inline]] inline Record::Quick Record::quick(const ColumnInfo& column, std::uint32_t itag,
                                   ByteView& bytes) const {
  if (column.id >= 256) return quickTagged(column.id, column.has_default, itag, bytes);
  return column.id >= 128 ? quickVariable(column, itag, bytes) : quickFixed(column, itag, bytes);
}

// Parse checked that the null bitmap and the offsets of the variable
// columns up to the last lie inside the record; a value that would lie
// outside its area is left to get, which reports the damage.
inline Record::Quick Record::quickFixed(const ColumnInfo& column, std::uint32_t itag,
                                        ByteView& bytes) const {
  const std::uint32_t bit = column.id - 1;
  if (column.id > last_fixed_) return column.has_default ? Quick::kAsk : Quick::kNull;
  const auto bits = static_cast<std::uint8_t>(data_.data()[bitmap_at_ + bit / 8]);
  if (((bits >> (bit % 8)) & 1u) != 0 || itag > 1) return Quick::kNull;
  const std::size_t at = column.record_offset;
  if (at < 4 || at + column.fixed_size > bitmap_at_) return Quick::kAsk;
  bytes = ByteView(data_.data() + at, column.fixed_size);
  return Quick::kValue;
}

inline Record::Quick Record::quickVariable(const ColumnInfo& column, std::uint32_t itag,
                                           ByteView& bytes) const {
  if (column.id > last_variable_) return column.has_default ? Quick::kAsk : Quick::kNull;
  const std::byte* offsets = data_.data() + fixed_end_;
  const std::size_t slot = column.id - 128u;
  const std::uint16_t end = corvadex::base::loadLe16(offsets + 2 * slot);
  if ((end & 0x8000u) != 0 || itag > 1) return Quick::kNull;
  const std::size_t from = slot > 0 ? corvadex::base::loadLe16(offsets + 2 * slot - 2) & 0x7fffu : 0;
  const std::size_t to = end;
  if (to < from || variable_start_ + to > tagged_start_) return Quick::kAsk;
  bytes = ByteView(data_.data() + variable_start_ + from, to - from);
  return Quick::kValue;
}

[[gnu::always_inline]] inline Record::Quick Record::quickTagged(std::uint32_t column_id, bool has_default,
                                         std::uint32_t itag, ByteView& bytes) const {
  const std::uint32_t slot = column_id - 256u;  // wraps for fixed and variable columns
  if (!tags_ready_ || derived_ || slot >= kIndexedTags) return Quick::kAsk;
  if (tag_stamp_[slot] != stamp_) return has_default ? Quick::kAsk : Quick::kNull;
  const TagEntry& e = tag_entry_[slot];
  if (e.shape == TagShape::kOther) return Quick::kAsk;
  if (e.shape == TagShape::kNull || itag > 1) return Quick::kNull;
  bytes = ByteView(tagged_.data() + e.begin, e.size);
  return Quick::kValue;
}

inline Record::TagEntry Record::decodeTag(const std::byte* tagged, std::size_t size,
                                          std::size_t entries, std::size_t i, std::uint16_t ib,
                                          bool large, bool compression) {
  TagEntry e;
  e.index = static_cast<std::uint16_t>(i);
  e.shape = TagShape::kOther;
  // The common shapes, a plain value or a null, are settled here once; the
  // others, and values whose bounds do not hold, take the full reading
  // (which reports the damage) when asked for.
  const std::uint16_t offset_mask = large ? 0x7fff : 0x1fff;
  const std::uint16_t next_ib =
      i + 1 < entries ? corvadex::base::loadLe16(tagged + 4 * (i + 1) + 2) : 0;
  const std::size_t begin = ib & offset_mask;
  const std::size_t end = i + 1 < entries ? next_ib & offset_mask : size;
  if (begin < entries * 4 || end < begin || end > size) {
    // kOther
  } else if (!large && (ib & 0x2000u) != 0) {
    e.shape = TagShape::kNull;
  } else {
    // Which values carry a flags byte varies from value to value: the
    // byte is taken, or not, without a branch on it.
    const std::size_t has_flags = std::size_t{large} | ((std::size_t{ib} >> 14) & 1u);
    unsigned flags = static_cast<std::uint8_t>(tagged[begin < size ? begin : 0]);
    if (!compression) flags &= ~unsigned{kTagCompressedValue};
    flags &= 0u - static_cast<unsigned>(has_flags);
    if (begin + has_flags > end) {
      // kOther: a flags byte with no room for it (begin <= end here)
    } else if (flags & kTagNull) {
      e.shape = TagShape::kNull;
    } else if (!(flags & (kTagTwoValues | kTagMultiValues | kTagSeparated | kTagCompressedValue))) {
      e.shape = TagShape::kPlain;
      e.begin = static_cast<std::uint16_t>(begin + has_flags);
      e.size = static_cast<std::uint16_t>(end - begin - has_flags);
    }
  }
  return e;
}

template <bool kLarge>
inline Record::Quick Record::TaggedWalk::value(std::size_t i, ByteView& bytes) const {
  const std::uint16_t ib = corvadex::base::loadLe16(tagged_ + 4 * i + 2);
  const TagEntry e = decodeTag(tagged_, size_, entries_, i, ib, kLarge, compression_);
  if (e.shape == TagShape::kPlain) {
    bytes = ByteView(tagged_ + e.begin, e.size);
    return Quick::kValue;
  }
  return e.shape == TagShape::kNull ? Quick::kNull : Quick::kAsk;
}

}  // namespace ese
