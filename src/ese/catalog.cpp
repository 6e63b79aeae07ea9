// SPDX-License-Identifier: Apache-2.0
#include "ese/catalog.h"

#include <algorithm>
#include <unordered_map>

#include "ese/btree.h"
#include "ese/record.h"

namespace ese {
namespace {

// Column ids of the catalog's own columns.
constexpr JET_COLUMNID kObjidTable = 1;
constexpr JET_COLUMNID kType = 2;
constexpr JET_COLUMNID kId = 3;
constexpr JET_COLUMNID kColtypOrPgnoFDP = 4;
constexpr JET_COLUMNID kSpaceUsage = 5;
constexpr JET_COLUMNID kFlags = 6;
constexpr JET_COLUMNID kPagesOrLocale = 7;
constexpr JET_COLUMNID kName = 128;
constexpr JET_COLUMNID kTemplateTable = 130;
constexpr JET_COLUMNID kDefaultValue = 131;

struct CatalogColumnDef {
  JET_COLUMNID id;
  const char* name;
  JET_COLTYP type;
};

constexpr CatalogColumnDef kCatalogColumns[] = {
    {1, "ObjidTable", JET_coltypLong},
    {2, "Type", JET_coltypShort},
    {3, "Id", JET_coltypLong},
    {4, "ColtypOrPgnoFDP", JET_coltypLong},
    {5, "SpaceUsage", JET_coltypLong},
    {6, "Flags", JET_coltypLong},
    {7, "PagesOrLocale", JET_coltypLong},
    {8, "RootFlag", JET_coltypBit},
    {9, "RecordOffset", JET_coltypShort},
    {10, "LCMapFlags", JET_coltypLong},
    {11, "KeyMost", JET_coltypUnsignedShort},
    {12, "LVChunkMax", JET_coltypLong},
    {128, "Name", JET_coltypText},
    {129, "Stats", JET_coltypBinary},
    {130, "TemplateTable", JET_coltypText},
    {131, "DefaultValue", JET_coltypBinary},
    {132, "KeyFldIDs", JET_coltypBinary},
    {133, "VarSegMac", JET_coltypBinary},
    {134, "ConditionalColumns", JET_coltypBinary},
    {135, "TupleLimits", JET_coltypBinary},
    {136, "Version", JET_coltypBinary},
    {137, "SortID", JET_coltypBinary},
    {256, "CallbackData", JET_coltypLongBinary},
    {257, "CallbackDependencies", JET_coltypLongBinary},
    {258, "SeparateLV", JET_coltypLongBinary},
    {259, "SpaceHints", JET_coltypLongBinary},
    {260, "SpaceDeferredLVHints", JET_coltypLongBinary},
    {261, "LocaleName", JET_coltypLongBinary},
};

// Lays out the fixed columns: each follows the previous one by id, from
// offset 4. (The catalog's RecordOffset is not reliable: Windows writes 4
// for every column.) Deleted columns keep their place, so `columns` must
// still hold them here.
void AssignFixedOffsets(std::vector<ColumnInfo>& columns) {
  std::uint32_t next = 4;
  for (ColumnInfo& c : columns) {
    if (!c.is_fixed()) continue;
    c.record_offset = static_cast<std::uint16_t>(next > 0xffff ? 0xffff : next);
    next += c.fixed_size;
  }
}

bool ReadU32(const Record& rec, const ColumnInfo& col, std::uint32_t& out) {
  StoredValue v;
  if (rec.Get(col, false, 1, v) != JET_errSuccess || v.kind != ValueKind::kInline) return false;
  if (v.bytes.size() == 4) return v.bytes.U32(0, out);
  std::uint16_t s = 0;
  if (v.bytes.size() == 2 && v.bytes.U16(0, s)) {
    out = s;
    return true;
  }
  return false;
}

bool ReadBytes(const Record& rec, const ColumnInfo& col, ByteView& out) {
  StoredValue v;
  if (rec.Get(col, false, 1, v) != JET_errSuccess || v.kind != ValueKind::kInline) return false;
  out = v.bytes;
  return true;
}

std::string ToString(const ByteView& v) {
  return std::string(reinterpret_cast<const char*>(v.data()), v.size());
}

}  // namespace

std::uint16_t FixedSizeOfType(JET_COLTYP type) {
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

JET_GRBIT ColumnInfo::Grbit() const {
  JET_GRBIT g = 0;
  if (is_fixed()) g |= JET_bitColumnFixed;
  if (is_tagged()) g |= JET_bitColumnTagged;
  if (flags & kColumnNotNull) g |= JET_bitColumnNotNULL;
  if (flags & kColumnVersion) g |= JET_bitColumnVersion;
  if (flags & kColumnAutoincrement) g |= JET_bitColumnAutoincrement;
  if (flags & kColumnMultiValued) g |= JET_bitColumnMultiValued;
  return g;
}

void TableInfo::IndexColumns() {
  slot_by_id.clear();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const JET_COLUMNID id = columns[i].id;
    if (id > 0xffff) continue;  // column ids are 16-bit on disk
    if (slot_by_id.size() <= id) slot_by_id.resize(id + 1, 0);
    if (slot_by_id[id] == 0) slot_by_id[id] = static_cast<std::uint32_t>(i + 1);
  }
}

const ColumnInfo* TableInfo::FindColumn(const std::string& column_name) const {
  for (const ColumnInfo& c : columns) {
    if (c.name == column_name) return &c;
  }
  return nullptr;
}

TableInfo CatalogTableInfo(const std::string& name, std::uint32_t objid,
                           std::uint32_t root_pgno) {
  TableInfo t;
  t.name = name;
  t.objid = objid;
  t.root_pgno = root_pgno;
  for (const CatalogColumnDef& d : kCatalogColumns) {
    ColumnInfo c;
    c.id = d.id;
    c.name = d.name;
    c.type = d.type;
    c.fixed_size = FixedSizeOfType(d.type);
    c.max_size = c.fixed_size;
    c.codepage = d.type == JET_coltypText ? 1252 : 0;
    t.columns.push_back(c);
  }
  AssignFixedOffsets(t.columns);
  t.IndexColumns();
  return t;
}

std::shared_ptr<const TableInfo> Catalog::Find(const std::string& name) const {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : tables_[it->second];
}

JET_ERR Catalog::Load(const DbFile& file, Catalog& out) {
  const TableInfo self = CatalogTableInfo("MSysObjects", kCatalogObjid, kCatalogRootPage);
  const ColumnInfo& c_objid = *self.FindColumn(kObjidTable);
  const ColumnInfo& c_type = *self.FindColumn(kType);
  const ColumnInfo& c_id = *self.FindColumn(kId);
  const ColumnInfo& c_coltyp = *self.FindColumn(kColtypOrPgnoFDP);
  const ColumnInfo& c_space = *self.FindColumn(kSpaceUsage);
  const ColumnInfo& c_flags = *self.FindColumn(kFlags);
  const ColumnInfo& c_locale = *self.FindColumn(kPagesOrLocale);
  const ColumnInfo& c_name = *self.FindColumn(kName);
  const ColumnInfo& c_template = *self.FindColumn(kTemplateTable);
  const ColumnInfo& c_default = *self.FindColumn(kDefaultValue);

  std::vector<TableInfo> tables;
  std::unordered_map<std::uint32_t, std::size_t> by_objid;
  std::vector<bool> has_columns;

  BTreeCursor cursor(&file, kCatalogRootPage, kCatalogObjid);
  JET_ERR err = cursor.First();
  const bool large = file.page_size() > 8192;
  for (; err == JET_errSuccess; err = cursor.Next()) {
    Record rec;
    if (JET_ERR e = rec.Parse(cursor.data(), large); e != JET_errSuccess) return e;
    std::uint32_t objid = 0;
    std::uint32_t type = 0;
    std::uint32_t id = 0;
    if (!ReadU32(rec, c_objid, objid) || !ReadU32(rec, c_type, type) || !ReadU32(rec, c_id, id)) {
      return JET_errDatabaseCorrupted;
    }
    std::uint32_t coltyp = 0;
    std::uint32_t space = 0;
    std::uint32_t flags = 0;
    std::uint32_t locale = 0;
    ReadU32(rec, c_coltyp, coltyp);
    ReadU32(rec, c_space, space);
    ReadU32(rec, c_flags, flags);
    ReadU32(rec, c_locale, locale);
    ByteView name_bytes;
    ReadBytes(rec, c_name, name_bytes);
    const std::string name = ToString(name_bytes);

    if (type == static_cast<std::uint32_t>(CatalogType::kTable)) {
      TableInfo t;
      t.name = name;
      t.objid = id;
      t.root_pgno = coltyp;
      t.flags = flags;
      ByteView template_bytes;
      if (ReadBytes(rec, c_template, template_bytes)) t.template_name = ToString(template_bytes);
      by_objid[objid] = tables.size();
      tables.push_back(std::move(t));
      has_columns.push_back(false);
      continue;
    }
    auto owner = by_objid.find(objid);
    if (owner == by_objid.end()) continue;  // a row whose table row is missing
    TableInfo& t = tables[owner->second];
    if (type == static_cast<std::uint32_t>(CatalogType::kColumn)) {
      has_columns[owner->second] = true;
      ColumnInfo c;
      c.id = id;
      c.name = name;
      c.type = coltyp;
      c.max_size = space;
      c.flags = flags;
      c.codepage = (coltyp == JET_coltypText || coltyp == JET_coltypLongText) ? locale : 0;
      if (c.is_fixed()) {
        const std::uint16_t size = FixedSizeOfType(coltyp);
        c.fixed_size = size != 0 ? size : static_cast<std::uint16_t>(space > 0xffff ? 0xffff : space);
      }
      ByteView def;
      if (ReadBytes(rec, c_default, def)) {
        c.has_default = true;
        c.default_value.assign(def.data(), def.data() + def.size());
      }
      t.columns.push_back(std::move(c));
    } else if (type == static_cast<std::uint32_t>(CatalogType::kIndex)) {
      t.indexes.push_back(IndexInfo{id, coltyp, name});
    } else if (type == static_cast<std::uint32_t>(CatalogType::kLongValue)) {
      t.lv_objid = id;
      t.lv_root_pgno = coltyp;
    }
  }
  if (err != JET_errNoCurrentRecord) return err;

  for (std::size_t i = 0; i < tables.size(); ++i) {
    TableInfo& t = tables[i];
    if (!has_columns[i] && (t.name == "MSysObjects" || t.name == "MSysObjectsShadow")) {
      TableInfo builtin = CatalogTableInfo(t.name, t.objid, t.root_pgno);
      t.columns = std::move(builtin.columns);
    }
    std::stable_sort(t.columns.begin(), t.columns.end(),
                     [](const ColumnInfo& a, const ColumnInfo& b) { return a.id < b.id; });
  }
  // A derived table takes the columns of its template table.
  std::unordered_map<std::string, std::size_t> templates;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (tables[i].template_name.empty()) templates.emplace(tables[i].name, i);
  }
  for (TableInfo& t : tables) {
    if (t.template_name.empty()) continue;
    auto found = templates.find(t.template_name);
    if (found == templates.end()) continue;
    const TableInfo* base = &tables[found->second];
    t.is_derived = true;
    std::vector<ColumnInfo> merged = base->columns;
    for (ColumnInfo& c : merged) c.from_template = true;
    for (ColumnInfo& c : t.columns) merged.push_back(c);
    std::stable_sort(merged.begin(), merged.end(),
                     [](const ColumnInfo& a, const ColumnInfo& b) { return a.id < b.id; });
    t.columns = std::move(merged);
  }
  Catalog result;
  for (TableInfo& t : tables) {
    AssignFixedOffsets(t.columns);
    // Deleted columns (type 0) only kept their place in the record.
    std::erase_if(t.columns, [](const ColumnInfo& c) { return c.type == JET_coltypNil; });
    t.IndexColumns();
    if (!result.by_name_.count(t.name)) result.by_name_[t.name] = result.tables_.size();
    result.tables_.push_back(std::make_shared<const TableInfo>(std::move(t)));
  }
  out = std::move(result);
  return JET_errSuccess;
}

}  // namespace ese
