// SPDX-License-Identifier: Apache-2.0
#include "catalog.h"

#include <algorithm>

namespace corvadex::esew {

TableDef catalogTableDef(std::uint32_t revision, const std::string& name) {
  TableDef t;
  t.name = name;
  auto add = [&](std::uint32_t id, const char* n, ColumnType type, bool notNull = false) {
    ColumnDef c;
    c.id = id;
    c.name = n;
    c.type = type;
    c.notNull = notNull;
    if (isTextType(type)) c.codepage = kCodePageWestern;
    t.columns.push_back(c);
  };
  add(1, "ObjidTable", ColumnType::Long, true);
  add(2, "Type", ColumnType::Short, true);
  add(3, "Id", ColumnType::Long, true);
  add(4, "ColtypOrPgnoFDP", ColumnType::Long, true);
  add(5, "SpaceUsage", ColumnType::Long, true);
  add(6, "Flags", ColumnType::Long, true);
  add(7, "PagesOrLocale", ColumnType::Long, true);
  add(8, "RootFlag", ColumnType::Bit);
  add(9, "RecordOffset", ColumnType::Short);
  add(10, "LCMapFlags", ColumnType::Long);
  add(11, "KeyMost", ColumnType::UnsignedShort);
  if (revision >= 0x11) add(12, "LVChunkMax", ColumnType::Long);
  add(128, "Name", ColumnType::Text, true);
  add(129, "Stats", ColumnType::Binary);
  add(130, "TemplateTable", ColumnType::Text);
  add(131, "DefaultValue", ColumnType::Binary);
  add(132, "KeyFldIDs", ColumnType::Binary);
  add(133, "VarSegMac", ColumnType::Binary);
  add(134, "ConditionalColumns", ColumnType::Binary);
  add(135, "TupleLimits", ColumnType::Binary);
  add(136, "Version", ColumnType::Binary);
  if (revision >= 0x11) add(137, "SortID", ColumnType::Binary);
  add(256, "CallbackData", ColumnType::LongBinary);
  add(257, "CallbackDependencies", ColumnType::LongBinary);
  if (revision >= 0x11) {
    add(258, "SeparateLV", ColumnType::LongBinary);
    add(259, "SpaceHints", ColumnType::LongBinary);
    add(260, "SpaceDeferredLVHints", ColumnType::LongBinary);
  }
  if (revision >= 0x14) add(261, "LocaleName", ColumnType::LongBinary);
  t.keyColumns = {1, 2, 3};
  t.primaryIndexName = "Id";
  return t;
}

Row catalogRow(const CatalogEntry& e, const TableDef& catalog) {
  Row row;
  auto put = [&](std::uint32_t id, Bytes value) {
    if (catalog.column(id) != nullptr) row.push_back(Cell{id, {std::move(value)}});
  };
  put(1, le32(static_cast<std::uint32_t>(e.objidTable)));
  put(2, le16(static_cast<std::uint16_t>(e.type)));
  put(3, le32(static_cast<std::uint32_t>(e.id)));
  put(4, le32(static_cast<std::uint32_t>(e.coltypOrPgnoFDP)));
  put(5, le32(static_cast<std::uint32_t>(e.spaceUsage)));
  put(6, le32(e.flags));
  put(7, le32(static_cast<std::uint32_t>(e.pagesOrLocale)));
  if (e.rootFlag) put(8, u8(0xff));
  if (e.recordOffset) put(9, le16(static_cast<std::uint16_t>(*e.recordOffset)));
  if (e.lcMapFlags) put(10, le32(*e.lcMapFlags));
  if (e.keyMost) put(11, le16(*e.keyMost));
  put(128, e.name);
  if (e.defaultValue) put(131, *e.defaultValue);
  if (e.keyFldIds) put(132, *e.keyFldIds);
  if (e.localeName) put(261, *e.localeName);
  return row;
}

std::vector<CatalogEntry> columnEntries(std::int32_t objid, const TableDef& table) {
  // The catalog tables' own fixed columns all claim offset 4 and code page
  // 1252, as the engine records them; other tables get their real values.
  const bool catalogItself = objid <= 3;
  std::vector<const ColumnDef*> cols;
  for (const auto& c : table.columns) cols.push_back(&c);
  std::sort(cols.begin(), cols.end(), [](auto* a, auto* b) { return a->id < b->id; });
  std::vector<CatalogEntry> out;
  std::int32_t recordOffset = 4;
  for (const ColumnDef* c : cols) {
    CatalogEntry e;
    e.objidTable = objid;
    e.type = catalog_type::kColumn;
    e.id = static_cast<std::int32_t>(c->id);
    e.coltypOrPgnoFDP = static_cast<std::int32_t>(c->type);
    const ColumnKind kind = kindOfColumnId(c->id);
    if (kind == ColumnKind::Fixed) {
      e.spaceUsage = static_cast<std::int32_t>(c->fixedSlotSize());
      e.recordOffset = static_cast<std::int16_t>(catalogItself ? 4 : recordOffset);
      recordOffset += static_cast<std::int32_t>(c->fixedSlotSize());
    } else if (fixedTypeSize(c->type) != 0) {
      e.spaceUsage = static_cast<std::int32_t>(fixedTypeSize(c->type));
    } else if (isLongType(c->type)) {
      e.spaceUsage = static_cast<std::int32_t>(c->maxSize);
    } else {
      e.spaceUsage = static_cast<std::int32_t>(c->maxSize != 0 ? c->maxSize : 255);
    }
    if (c->notNull) e.flags |= column_flags::kNotNull;
    if (c->multiValued) e.flags |= column_flags::kMultiValued;
    if (c->defaultValue) {
      e.flags |= column_flags::kDefault;
      e.defaultValue = *c->defaultValue;
    }
    e.pagesOrLocale = static_cast<std::int32_t>(catalogItself ? kCodePageWestern : c->codepage);
    e.name = c->name;
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace corvadex::esew
