// SPDX-License-Identifier: Apache-2.0
// JetEnumerateColumns on a cursor: the current row's values gathered into
// one block from the caller's allocator.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ese/database.h"
#include "ese/jet.h"

namespace ese {

struct EnumerateRequest {
  std::uint32_t count = 0;                  // 0: every column with a value
  const JET_ENUMCOLUMNID* ids = nullptr;    // `count` of them
  JET_PFNREALLOC allocate = nullptr;
  void* context = nullptr;
  std::uint32_t most = 0;                   // longest value given; longer ones are cut
  bool compress = false;                    // JET_bitEnumerateCompressOutput
};

// Builds the answers for one open table. The values are noted where they
// lie (in the row's page, or kept here when the cursor would overwrite
// them) and copied once, into one block from the caller's allocator, when
// the answer's size is known: one call to the allocator a row. The
// buffers are kept from row to row.
class ColumnEnumerator {
 public:
  // As JetEnumerateColumns, for a cursor on a row and a request whose
  // pointers the caller has checked (`ids` holds `count` entries). On
  // success `columns` holds `count` columns (nullptr when none); on
  // failure nothing is allocated and both are left empty.
  Status enumerate(TableCursor& cursor, const EnumerateRequest& request, std::uint32_t& count,
                    JET_ENUMCOLUMN*& columns);

 private:
  // A column and a value as gathered, with where their bytes lie.
  struct Column {
    JET_COLUMNID id = 0;
    JET_ERR err = JET_errSuccess;
    std::uint32_t first_value = 0;  // in values_
    std::uint32_t value_count = 0;
    const std::byte* data = nullptr;  // a single value given in the column
    std::uint32_t size = 0;
  };
  struct Value {
    std::uint32_t itag = 0;
    JET_ERR err = JET_errSuccess;
    const std::byte* data = nullptr;
    std::uint32_t size = 0;
  };

  Status addEveryColumn(TableCursor& cursor);
  // The tagged columns, from the row's directory opened as `walk`, with the
  // columns it does not hold that have a default value, in id order.
  template <bool kLarge>
  Status addTagged(TableCursor& cursor, const Record::TaggedWalk& opened);
  // `column` as its quick answer says: left out, a plain value, or read in
  // full.
  Status addQuick(TableCursor& cursor, const ColumnInfo& column, Record::Quick quick,
                   ByteView bytes);
  Status addAsked(TableCursor& cursor, const JET_ENUMCOLUMNID& id);
  Status addAllValues(TableCursor& cursor, const ColumnInfo& column, bool keep_null);
  // A column with its one value; `lasting` when the bytes stay where they
  // are for the whole call (in the row's page).
  void addSingle(JET_COLUMNID id, Bytes value, bool lasting);
  Status readInto(TableCursor& cursor, const ColumnInfo& column, std::uint32_t itag, Value& v);
  // Notes where `value` lies, cut at the longest size asked for. Whether
  // the whole answer fits one block is checked once, by give.
  void note(Bytes value, const std::byte*& data, std::uint32_t& size, JET_ERR& status);
  // A copy of `value` that stays until the next row.
  const std::byte* keep(Bytes value);
  // The value noted last may lie in the cursor's buffer, which the next
  // read overwrites: copied before reading again. Most rows have one such
  // value, which is then copied only once, into the answer.
  void notePending(bool column, std::size_t index);
  void keepPending();
  // The answer copied into one block from the caller's allocator.
  Status give(std::uint32_t& count, JET_ENUMCOLUMN*& columns) const;

  // The next column, with this id and status; room for it was made
  // before the row was read.
  Column& add(JET_COLUMNID id, JET_ERR err) {
    Column& c = columns_[count_++];
    c = Column{};
    c.id = id;
    c.err = err;
    return c;
  }

  // Short values are copied as kWide bytes where that many can be read.
  static constexpr std::size_t kWide = 64;

  const EnumerateRequest* request_ = nullptr;
  Bytes row_page_;  // the page the row lies in
  std::vector<Column> columns_;  // the first count_ are this row's
  std::size_t count_ = 0;
  std::vector<Value> values_;
  std::uint64_t total_ = 0;  // the bytes of every value noted (64 bits: cannot overflow)
  // Copies of values the cursor would overwrite, in chunks that never move.
  std::vector<std::vector<std::byte>> kept_;
  std::size_t chunk_ = 0;  // the chunk being filled
  std::size_t used_ = 0;   // in it
  bool pending_ = false;
  bool pending_column_ = false;  // in columns_, else in values_
  std::size_t pending_index_ = 0;
};

}  // namespace ese
