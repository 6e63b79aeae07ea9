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
#include "ese/status.h"
#include "ese/schema.h"

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

// The column definition of the catalog table itself.
TableInfo catalogTableInfo(const std::string& name, std::uint32_t objid,
                           std::uint32_t root_pgno);

class Catalog {
 public:
  // Reads every row of MSysObjects. Tables keep catalog order.
  static Status load(const DbFile& file, Catalog& out);

  const std::vector<std::shared_ptr<const TableInfo>>& tables() const { return tables_; }
  // The table of this name (exact, case-sensitive), or nullptr.
  std::shared_ptr<const TableInfo> find(const std::string& name) const;

 private:
  std::vector<std::shared_ptr<const TableInfo>> tables_;
  std::map<std::string, std::size_t> by_name_;
};

}  // namespace ese
