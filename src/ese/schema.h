// SPDX-License-Identifier: Apache-2.0
// The schema of a database as the engine knows it: each table with its
// columns and indexes. Plain data, filled by the catalog reader (catalog.h)
// and read by the record parser, the cursors and the Jet calls; it knows
// nothing of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ese/jet.h"

namespace ese {

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

// The fixed size of a column type in a record, 0 for variable-size types.
std::uint16_t fixedSizeOfType(JET_COLTYP type);

}  // namespace ese
