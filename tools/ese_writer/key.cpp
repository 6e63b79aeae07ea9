// SPDX-License-Identifier: Apache-2.0
#include "key.h"

#include <algorithm>
#include <stdexcept>

namespace corvadex::esew {

namespace {

std::uint64_t littleEndianValue(std::string_view v) {
  std::uint64_t out = 0;
  for (std::size_t i = v.size(); i-- > 0;) out = (out << 8) | static_cast<unsigned char>(v[i]);
  return out;
}

}  // namespace

bool appendKeySegment(Bytes& key, ColumnType type, std::string_view value) {
  key.push_back('\x7f');
  const std::uint64_t n = littleEndianValue(value);
  switch (type) {
    case ColumnType::Bit:
    case ColumnType::UnsignedByte: putU8(key, static_cast<std::uint8_t>(n)); return true;
    case ColumnType::Short: putBE16(key, static_cast<std::uint16_t>(n ^ 0x8000u)); return true;
    case ColumnType::UnsignedShort: putBE16(key, static_cast<std::uint16_t>(n)); return true;
    case ColumnType::Long: putBE32(key, static_cast<std::uint32_t>(n ^ 0x80000000u)); return true;
    case ColumnType::UnsignedLong: putBE32(key, static_cast<std::uint32_t>(n)); return true;
    case ColumnType::Currency:
    case ColumnType::LongLong: putBE64(key, n ^ 0x8000000000000000ull); return true;
    case ColumnType::Binary: {
      std::size_t pos = 0;
      do {
        const std::size_t take = std::min<std::size_t>(8, value.size() - pos);
        Bytes segment(value.substr(pos, take));
        segment.resize(8, '\0');
        key.append(segment);
        pos += take;
        putU8(key, static_cast<std::uint8_t>(pos < value.size() ? 9 : take));
      } while (pos < value.size());
      return true;
    }
    default: return false;
  }
}

Bytes primaryKey(const TableDef& table, const Row& row) {
  Bytes key;
  for (std::uint32_t id : table.keyColumns) {
    const ColumnDef* column = table.column(id);
    const Cell* cell = nullptr;
    for (const auto& c : row)
      if (c.column == id) cell = &c;
    if (column == nullptr || cell == nullptr || cell->values.size() != 1)
      throw std::invalid_argument("table " + table.name + ": a primary key column is null");
    if (!appendKeySegment(key, column->type, cell->values[0]))
      throw std::invalid_argument("table " + table.name + ": column " + column->name +
                                  " cannot be a key column");
  }
  return key;
}

}  // namespace corvadex::esew
