// SPDX-License-Identifier: Apache-2.0
// Encodes one row as a record, the data of a leaf node of the table's tree.
//
//   0  last fixed column id in the record (1)
//   1  last variable column id in the record (1), 127 when none
//   2  offset of the variable offset array from the record start (2)
//   4  fixed values of columns 1..last fixed, each in its full slot, then a
//      null bitmap of ceil(last fixed / 8) bytes (bit id-1 set: null)
//   .. variable offset array: per column 128..last variable, the end offset
//      of its value within the variable data (2), 0x8000 when null
//   .. variable data
//   .. tagged area: directory of (column id (2), offset (2)) in id order,
//      offsets from the start of the area, then the values. On small pages
//      offset bit 0x4000 says the value starts with a flag byte; on large
//      pages every value has one. Flag byte: 0x01 long-value column,
//      0x04 separated (the value is a 4-byte long-value id), 0x08 several
//      values (an array of 2-byte offsets, bit 0x8000 marking a separated
//      one), 0x10 exactly two values (1-byte size of the first, then both).
//
// Long values larger than a quarter page, or whatever it takes to make the
// record fit its page, go to the table's long-value tree instead.
#pragma once

#include <cstddef>
#include <functional>

#include "file_format.h"
#include "schema.h"

namespace corvadex::esew {

// Stores a separated long value and returns its long-value id.
using SeparateLongValue = std::function<std::uint32_t(std::string_view value)>;

class RecordEncoder {
 public:
  RecordEncoder(const TableDef& table, const FileFormat& format);

  // Throws std::invalid_argument for rows the table cannot hold.
  Bytes encode(const Row& row, std::size_t maxRecordSize, const SeparateLongValue& separate) const;

  // The values a reader finds in the column for this row: the row's own,
  // else the column default, else none (null).
  static const std::vector<Bytes>* valuesOf(const Row& row, std::uint32_t column);

 private:
  Bytes build(const std::vector<const Cell*>& cells, const std::vector<std::vector<bool>>& separated,
              const SeparateLongValue* separate) const;

  const TableDef& table_;
  FileFormat format_;
  std::vector<const ColumnDef*> byId_;  // sorted by id
};

}  // namespace corvadex::esew
