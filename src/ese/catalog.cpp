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
void assignFixedOffsets(std::vector<ColumnInfo>& columns) {
  std::uint32_t next = 4;
  for (ColumnInfo& c : columns) {
    if (!c.is_fixed()) continue;
    c.record_offset = static_cast<std::uint16_t>(next > 0xffff ? 0xffff : next);
    next += c.fixed_size;
  }
}

// The number in column `col` of a catalog row (stored in 2 or 4 bytes):
// `present` false, `out` 0, when the row has none.
Status readNumber(const Record& rec, const ColumnInfo& col, std::uint32_t& out, bool& present) {
  out = 0;
  present = false;
  StoredValue v;
  if (Status err = rec.get(col, false, 1, v); err != JET_errSuccess) return err;
  if (v.kind == ValueKind::kNull) return JET_errSuccess;
  std::uint16_t short_value = 0;
  if (v.kind == ValueKind::kInline && v.bytes.size() == 4 && v.bytes.U32(0, out)) {
    present = true;
  } else if (v.kind == ValueKind::kInline && v.bytes.size() == 2 && v.bytes.U16(0, short_value)) {
    out = short_value;
    present = true;
  } else {
    return corrupt("a number in the catalog is neither 2 nor 4 bytes long");
  }
  return JET_errSuccess;
}

// The bytes of column `col` of a catalog row: empty, `present` false, when
// the row has none.
Status readBytes(const Record& rec, const ColumnInfo& col, ByteView& out, bool& present) {
  out = ByteView();
  StoredValue v;
  if (Status err = rec.get(col, false, 1, v); err != JET_errSuccess) return err;
  present = v.kind == ValueKind::kInline;
  if (present) out = v.bytes;
  return JET_errSuccess;
}

std::string toString(const ByteView& v) {
  return std::string(reinterpret_cast<const char*>(v.data()), v.size());
}

}  // namespace

TableInfo catalogTableInfo(const std::string& name, std::uint32_t objid,
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
    c.fixed_size = fixedSizeOfType(d.type);
    c.max_size = c.fixed_size;
    c.codepage = d.type == JET_coltypText ? 1252 : 0;
    t.columns.push_back(c);
  }
  assignFixedOffsets(t.columns);
  t.indexColumns();
  return t;
}

std::shared_ptr<const TableInfo> Catalog::find(const std::string& name) const {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : tables_[it->second];
}

Status Catalog::load(const DbFile& file, Catalog& out) {
  // A failure names the catalog table; the name outlives the status.
  static const std::string kCatalogName = "MSysObjects";
  const TableInfo self = catalogTableInfo(kCatalogName, kCatalogObjid, kCatalogRootPage);
  const ColumnInfo& c_objid = *self.findColumn(kObjidTable);
  const ColumnInfo& c_type = *self.findColumn(kType);
  const ColumnInfo& c_id = *self.findColumn(kId);
  const ColumnInfo& c_coltyp = *self.findColumn(kColtypOrPgnoFDP);
  const ColumnInfo& c_space = *self.findColumn(kSpaceUsage);
  const ColumnInfo& c_flags = *self.findColumn(kFlags);
  const ColumnInfo& c_locale = *self.findColumn(kPagesOrLocale);
  const ColumnInfo& c_name = *self.findColumn(kName);
  const ColumnInfo& c_template = *self.findColumn(kTemplateTable);
  const ColumnInfo& c_default = *self.findColumn(kDefaultValue);

  std::vector<TableInfo> tables;
  std::unordered_map<std::uint32_t, std::size_t> by_objid;
  std::vector<bool> has_columns;

  BTreeCursor cursor(&file, kCatalogRootPage, kCatalogObjid);
  Status err = cursor.first();
  const bool large = file.page_size() > 8192;
  for (; err == JET_errSuccess; err = cursor.Next()) {
    Record rec;
    std::uint32_t objid = 0;
    std::uint32_t type = 0;
    std::uint32_t id = 0;
    std::uint32_t coltyp = 0;
    std::uint32_t space = 0;
    std::uint32_t flags = 0;
    std::uint32_t locale = 0;
    bool has_objid = false, has_type = false, has_id = false, present = false;
    ByteView name_bytes, template_bytes, default_bytes;
    bool has_template = false, has_default = false;
    err = rec.parse(cursor.data(), large);
    if (err == JET_errSuccess) err = readNumber(rec, c_objid, objid, has_objid);
    if (err == JET_errSuccess) err = readNumber(rec, c_type, type, has_type);
    if (err == JET_errSuccess) err = readNumber(rec, c_id, id, has_id);
    if (err == JET_errSuccess) err = readNumber(rec, c_coltyp, coltyp, present);
    if (err == JET_errSuccess) err = readNumber(rec, c_space, space, present);
    if (err == JET_errSuccess) err = readNumber(rec, c_flags, flags, present);
    if (err == JET_errSuccess) err = readNumber(rec, c_locale, locale, present);
    if (err == JET_errSuccess) err = readBytes(rec, c_name, name_bytes, present);
    if (err == JET_errSuccess) err = readBytes(rec, c_template, template_bytes, has_template);
    if (err == JET_errSuccess) err = readBytes(rec, c_default, default_bytes, has_default);
    if (err == JET_errSuccess && !(has_objid && has_type && has_id)) {
      err = corrupt("a catalog row lacks its table, type or id");
    }
    if (err != JET_errSuccess) return err.at(cursor.pgno(), &kCatalogName);
    const std::string name = toString(name_bytes);

    if (type == static_cast<std::uint32_t>(CatalogType::kTable)) {
      TableInfo t;
      t.name = name;
      t.objid = id;
      t.root_pgno = coltyp;
      t.flags = flags;
      if (has_template) t.template_name = toString(template_bytes);
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
        const std::uint16_t size = fixedSizeOfType(coltyp);
        c.fixed_size = size != 0 ? size : static_cast<std::uint16_t>(space > 0xffff ? 0xffff : space);
      }
      if (has_default) {
        c.has_default = true;
        c.default_value.assign(default_bytes.data(), default_bytes.data() + default_bytes.size());
      }
      t.columns.push_back(std::move(c));
    } else if (type == static_cast<std::uint32_t>(CatalogType::kIndex)) {
      t.indexes.push_back(IndexInfo{id, coltyp, name});
    } else if (type == static_cast<std::uint32_t>(CatalogType::kLongValue)) {
      t.lv_objid = id;
      t.lv_root_pgno = coltyp;
    }
  }
  if (err != JET_errNoCurrentRecord) return err.at(cursor.pgno(), &kCatalogName);

  for (std::size_t i = 0; i < tables.size(); ++i) {
    TableInfo& t = tables[i];
    if (!has_columns[i] && (t.name == "MSysObjects" || t.name == "MSysObjectsShadow")) {
      TableInfo builtin = catalogTableInfo(t.name, t.objid, t.root_pgno);
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
    assignFixedOffsets(t.columns);
    // Deleted columns (type 0) only kept their place in the record.
    std::erase_if(t.columns, [](const ColumnInfo& c) { return c.type == JET_coltypNil; });
    t.indexColumns();
    if (!result.by_name_.count(t.name)) result.by_name_[t.name] = result.tables_.size();
    result.tables_.push_back(std::make_shared<const TableInfo>(std::move(t)));
  }
  out = std::move(result);
  return JET_errSuccess;
}

}  // namespace ese
