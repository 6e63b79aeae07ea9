// SPDX-License-Identifier: Apache-2.0
#include "ese/schema.h"

namespace ese {

std::uint16_t fixedSizeOfType(JET_COLTYP type) {
  switch (type) {
    case JET_coltypBit:
    case JET_coltypUnsignedByte: return 1;
    case JET_coltypShort:
    case JET_coltypUnsignedShort: return 2;
    case JET_coltypLong:
    case JET_coltypUnsignedLong:
    case JET_coltypIEEESingle: return 4;
    case JET_coltypCurrency:
    case JET_coltypIEEEDouble:
    case JET_coltypDateTime:
    case JET_coltypLongLong: return 8;
    case JET_coltypGUID: return 16;
    default: return 0;
  }
}

JET_GRBIT ColumnInfo::grbit() const {
  JET_GRBIT g = 0;
  if (is_fixed()) g |= JET_bitColumnFixed;
  if (is_tagged()) g |= JET_bitColumnTagged;
  if (flags & kColumnNotNull) g |= JET_bitColumnNotNULL;
  if (flags & kColumnVersion) g |= JET_bitColumnVersion;
  if (flags & kColumnAutoincrement) g |= JET_bitColumnAutoincrement;
  if (flags & kColumnMultiValued) g |= JET_bitColumnMultiValued;
  return g;
}

void TableInfo::indexColumns() {
  slot_by_id.clear();
  tagged_defaults.clear();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const JET_COLUMNID id = columns[i].id;
    if (columns[i].is_tagged() && columns[i].has_default) {
      tagged_defaults.push_back(static_cast<std::uint32_t>(i));
    }
    if (id > 0xffff) continue;  // column ids are 16-bit on disk
    if (slot_by_id.size() <= id) slot_by_id.resize(id + 1, 0);
    if (slot_by_id[id] == 0) slot_by_id[id] = static_cast<std::uint32_t>(i + 1);
  }
}

const ColumnInfo* TableInfo::findColumn(const std::string& column_name) const {
  for (const ColumnInfo& c : columns) {
    if (c.name == column_name) return &c;
  }
  return nullptr;
}

}  // namespace ese
