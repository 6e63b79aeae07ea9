// SPDX-License-Identifier: Apache-2.0
// What a database is made of, as the writer is given it: tables of columns
// and rows of values. Column ids decide how a value is stored: 1-127 fixed
// (a slot at a fixed record offset), 128-255 variable (an end-offset array),
// 256 and above tagged (an id/offset directory, any number of values).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bytes.h"

namespace corvadex::esew {

// The engine's column type numbers.
enum class ColumnType : std::uint8_t {
  Bit = 1,
  UnsignedByte = 2,
  Short = 3,
  Long = 4,
  Currency = 5,
  IEEESingle = 6,
  IEEEDouble = 7,
  DateTime = 8,
  Binary = 9,
  Text = 10,
  LongBinary = 11,
  LongText = 12,
  UnsignedLong = 14,
  LongLong = 15,
  Guid = 16,
  UnsignedShort = 17,
};

inline constexpr std::uint32_t kCodePageUnicode = 1200;
inline constexpr std::uint32_t kCodePageWestern = 1252;

// Size of a value of a fixed-size type; 0 for text and binary types.
std::uint32_t fixedTypeSize(ColumnType type);
bool isTextType(ColumnType type);
bool isLongType(ColumnType type);  // long binary and long text: may be separated

enum class ColumnKind { Fixed, Variable, Tagged };
inline ColumnKind kindOfColumnId(std::uint32_t id) {
  return id < 128 ? ColumnKind::Fixed : id < 256 ? ColumnKind::Variable : ColumnKind::Tagged;
}

struct ColumnDef {
  ColumnDef() = default;
  ColumnDef(std::uint32_t columnId, std::string columnName, ColumnType columnType,
            std::uint32_t columnCodepage = 0, std::uint32_t columnMaxSize = 0)
      : id(columnId), name(std::move(columnName)), type(columnType), codepage(columnCodepage),
        maxSize(columnMaxSize) {}

  std::uint32_t id = 0;
  std::string name;
  ColumnType type = ColumnType::Long;
  std::uint32_t codepage = 0;  // text columns: 1200 or 1252
  std::uint32_t maxSize = 0;   // declared maximum in bytes (0: the type's default)
  bool notNull = false;
  bool multiValued = false;
  std::optional<Bytes> defaultValue;

  // Bytes one fixed slot takes: the type's size, or maxSize for fixed text/binary.
  std::uint32_t fixedSlotSize() const;
};

// One value list per non-null column. A column missing from a row is null
// (or reads its default). A zero-length value is one empty string.
struct Cell {
  std::uint32_t column = 0;
  std::vector<Bytes> values;
  // The one value is already in a compressed form (a tagged column's value
  // is flagged compressed and stored as given).
  bool compressed = false;
};
using Row = std::vector<Cell>;

struct TableDef {
  std::string name;
  std::vector<ColumnDef> columns;       // any order; ids unique
  std::vector<std::uint32_t> keyColumns;  // primary index, ascending, not null
  std::string primaryIndexName = "primary";

  const ColumnDef* column(std::uint32_t id) const;
};

}  // namespace corvadex::esew
