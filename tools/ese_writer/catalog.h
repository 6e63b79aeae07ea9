// SPDX-License-Identifier: Apache-2.0
// The catalog: MSysObjects (and its copy MSysObjectsShadow) holds one row
// per table (Type 1), column (2), index (3) and long-value tree (4), keyed
// by (ObjidTable, Type, Id). Its own column set grew over the revisions;
// the writer gives each revision the columns that revision's engine has.
#pragma once

#include <optional>

#include "schema.h"

namespace corvadex::esew {

namespace catalog_type {
inline constexpr std::int16_t kTable = 1;
inline constexpr std::int16_t kColumn = 2;
inline constexpr std::int16_t kIndex = 3;
inline constexpr std::int16_t kLongValue = 4;
inline constexpr std::int16_t kCallback = 5;
}  // namespace catalog_type

// Column flags as the catalog stores them.
namespace column_flags {
inline constexpr std::uint32_t kNotNull = 0x0001;
inline constexpr std::uint32_t kMultiValued = 0x0008;
inline constexpr std::uint32_t kDefault = 0x0010;
}  // namespace column_flags

// One catalog row before encoding; optional fields are null when unset.
struct CatalogEntry {
  std::int32_t objidTable = 0;
  std::int16_t type = 0;
  std::int32_t id = 0;
  std::int32_t coltypOrPgnoFDP = 0;
  std::int32_t spaceUsage = 0;
  std::uint32_t flags = 0;
  std::int32_t pagesOrLocale = 0;
  bool rootFlag = false;
  std::optional<std::int16_t> recordOffset;
  std::optional<std::uint32_t> lcMapFlags;
  std::optional<std::uint16_t> keyMost;
  Bytes name;
  std::optional<Bytes> defaultValue;
  std::optional<Bytes> keyFldIds;
  std::optional<Bytes> localeName;
};

TableDef catalogTableDef(std::uint32_t revision, const std::string& name);
// The row in the catalog's own schema; values for columns the revision's
// catalog lacks are dropped.
Row catalogRow(const CatalogEntry& entry, const TableDef& catalog);

// Rows describing a table's columns, in id order.
std::vector<CatalogEntry> columnEntries(std::int32_t objid, const TableDef& table);

}  // namespace corvadex::esew
