// SPDX-License-Identifier: Apache-2.0
// The catalog: the table MSysObjects, which describes every table, column,
// index and long-value tree of the database.
//
// MSysObjects is a B+-tree rooted at page 4 (object id 2). Each row is a
// record (see record.h) with these columns (fixed 1-12, variable 128-137,
// tagged 256-261); the catalog does not describe itself, so they are known
// here:
//   ObjidTable       Long   object id of the table the row belongs to
//   Type             Short  1 table, 2 column, 3 index, 4 long-value tree,
//                           5 callback
//   Id               Long   table/index/LV: object id; column: column id
//   ColtypOrPgnoFDP  Long   column: column type; others: root page number
//   SpaceUsage       Long   column: maximum size in bytes
//   Flags            Long   column: JET_bitColumn* flags
//   PagesOrLocale    Long   column: code page
//   RecordOffset     Short  (written as 4 for every fixed column; unused)
//   Name             Text   object name
//   TemplateTable    Text   table: name of the template it derives from
//   DefaultValue     Binary column: default value
// Rows come in key order: by table object id, then type, then name, so a
// table's row comes before those of its columns, indexes and LV tree.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ese/db_file.h"
#include "ese/jet.h"

namespace ese {

constexpr std::uint32_t kCatalogRootPage = 4;
constexpr std::uint32_t kCatalogObjid = 2;
constexpr std::uint32_t kCatalogShadowRootPage = 24;
constexpr std::uint32_t kCatalogShadowObjid = 3;

enum class CatalogType : std::uint16_t {
  kTable = 1,
  kColumn = 2,
  kIndex = 3,
  kLongValue = 4,
  kCallback = 5,
};

// Column flags as the catalog stores them (Flags of a column row).
constexpr std::uint32_t kColumnNotNull = 0x0001;
constexpr std::uint32_t kColumnVersion = 0x0002;
constexpr std::uint32_t kColumnAutoincrement = 0x0004;
constexpr std::uint32_t kColumnMultiValued = 0x0008;
constexpr std::uint32_t kColumnDefault = 0x0010;
constexpr std::uint32_t kColumnCompressed = 0x1000;

struct ColumnInfo {
  JET_COLUMNID id = 0;
  std::string name;
  JET_COLTYP type = 0;
  std::uint32_t max_size = 0;
  std::uint32_t flags = 0;  // kColumn* flags
  std::uint32_t codepage = 0;
  std::uint16_t record_offset = 0;  // fixed columns: start in the record
  std::uint16_t fixed_size = 0;     // fixed columns: bytes in the record
  bool has_default = false;
  std::vector<std::byte> default_value;
  bool from_template = false;  // inherited from the table's template

  bool is_fixed() const { return id >= 1 && id <= 127; }
  bool is_variable() const { return id >= 128 && id <= 255; }
  bool is_tagged() const { return id >= 256; }
  bool is_multi_valued() const { return (flags & kColumnMultiValued) != 0; }
  // The column's JET_bitColumn* bits, as JET_COLUMNDEF reports them.
  JET_GRBIT grbit() const;
};

struct IndexInfo {
  std::uint32_t objid = 0;
  std::uint32_t root_pgno = 0;
  std::string name;
};

struct TableInfo {
  std::string name;
  std::uint32_t objid = 0;
  std::uint32_t root_pgno = 0;
  std::uint32_t flags = 0;
  std::string template_name;
  std::uint32_t lv_objid = 0;     // 0: no long-value tree
  std::uint32_t lv_root_pgno = 0;
  bool is_derived = false;
  std::vector<ColumnInfo> columns;  // sorted by id
  std::vector<IndexInfo> indexes;
  // Position in `columns` + 1 of each column id (0: no such column), so
  // that finding a column by id costs one array read.
  std::vector<std::uint32_t> slot_by_id;
  // Positions in `columns` of the tagged columns that have a default value,
  // which a row that does not store them reads.
  std::vector<std::uint32_t> tagged_defaults;

  // Fills slot_by_id and tagged_defaults from columns; call after changing
  // columns.
  void indexColumns();

  // Finding a column by id through plain pointers: for a loop whose stores
  // could otherwise alias the table's vectors and have them read again for
  // every column.
  struct ColumnsById {
    const ColumnInfo* columns = nullptr;
    const std::uint32_t* slots = nullptr;
    std::size_t size = 0;
    const ColumnInfo* find(JET_COLUMNID id) const {
      return id < size && slots[id] != 0 ? columns + (slots[id] - 1) : nullptr;
    }
  };
  ColumnsById byId() const { return {columns.data(), slot_by_id.data(), slot_by_id.size()}; }

  // The column with this id or name, or nullptr.
  const ColumnInfo* findColumn(JET_COLUMNID id) const { return byId().find(id); }
  const ColumnInfo* findColumn(const std::string& name) const;
};

// The column definition of the catalog table itself.
TableInfo catalogTableInfo(const std::string& name, std::uint32_t objid,
                           std::uint32_t root_pgno);

// The fixed size of a column type in a record, 0 for variable-size types.
std::uint16_t fixedSizeOfType(JET_COLTYP type);

class Catalog {
 public:
  // Reads every row of MSysObjects. Tables keep catalog order.
  static JET_ERR load(const DbFile& file, Catalog& out);

  const std::vector<std::shared_ptr<const TableInfo>>& tables() const { return tables_; }
  // The table of this name (exact, case-sensitive), or nullptr.
  std::shared_ptr<const TableInfo> find(const std::string& name) const;

 private:
  std::vector<std::shared_ptr<const TableInfo>> tables_;
  std::map<std::string, std::size_t> by_name_;
};

}  // namespace ese
