// SPDX-License-Identifier: Apache-2.0
#include "schema.h"

namespace corvadex::esew {

std::uint32_t fixedTypeSize(ColumnType type) {
  switch (type) {
    case ColumnType::Bit:
    case ColumnType::UnsignedByte: return 1;
    case ColumnType::Short:
    case ColumnType::UnsignedShort: return 2;
    case ColumnType::Long:
    case ColumnType::UnsignedLong:
    case ColumnType::IEEESingle: return 4;
    case ColumnType::Currency:
    case ColumnType::IEEEDouble:
    case ColumnType::DateTime:
    case ColumnType::LongLong: return 8;
    case ColumnType::Guid: return 16;
    default: return 0;
  }
}

bool isTextType(ColumnType type) { return type == ColumnType::Text || type == ColumnType::LongText; }

bool isLongType(ColumnType type) {
  return type == ColumnType::LongText || type == ColumnType::LongBinary;
}

std::uint32_t ColumnDef::fixedSlotSize() const {
  const std::uint32_t size = fixedTypeSize(type);
  if (size != 0) return size;
  return maxSize != 0 ? maxSize : 255;
}

const ColumnDef* TableDef::column(std::uint32_t id) const {
  for (const auto& c : columns)
    if (c.id == id) return &c;
  return nullptr;
}

}  // namespace corvadex::esew
