// SPDX-License-Identifier: Apache-2.0
// The catalogue scan: the names of all tables of the open database, read
// from the catalogue table "MSysObjects", and the choice of the contact
// table among them.
//
// Catalogue rows used here:
//   "Type"  16-bit integer, little-endian; 1 marks a table
//   "Name"  the object's name, raw bytes, at most 256 read
#include <algorithm>
#include <cstdint>

#include "store/contact_store_reader.h"
#include "store/teardown.h"

namespace corvadex {

using namespace ese;

namespace {
constexpr std::int16_t kTableObject = 1;
constexpr std::uint32_t kNameBufferSize = 256;
}  // namespace

std::string contactTableName(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (name.starts_with(kContactTablePrefix)) return name;
  }
  return {};
}

void ContactStoreReader::ListTables(JET_SESID session, JET_DBID database) {
  tableNames_.clear();
  JET_TABLEID catalogue = 0;
  const JET_ERR err = jet_.OpenTable(session, database, "MSysObjects", nullptr, 0,
                                     JET_bitTableReadOnly, &catalogue);
  if (err != JET_errSuccess) return failed("ERROR ", err);
  Teardown close([this, session, catalogue] { jet_.closeTable(session, catalogue); });
  scanCatalogue(session, catalogue);
  close.now();
}

void ContactStoreReader::scanCatalogue(JET_SESID session, JET_TABLEID catalogue) {
  // One definition serves both lookups; only its column id is used.
  JET_COLUMNDEF def{};
  def.cbStruct = sizeof def;
  JET_ERR err = jet_.getTableColumnInfo(session, catalogue, "Type", &def, sizeof def, JET_ColInfo);
  if (err != JET_errSuccess) return failed("ERROR", err);
  const JET_COLUMNID typeColumn = def.columnid;
  err = jet_.getTableColumnInfo(session, catalogue, "Name", &def, sizeof def, JET_ColInfo);
  if (err != JET_errSuccess) return failed("ERROR ", err);
  const JET_COLUMNID nameColumn = def.columnid;

  err = jet_.move(session, catalogue, JET_MoveFirst, 0);
  if (err != JET_errSuccess) return failed("ERROR ", err);
  do {
    unsigned char type[2] = {0, 0};
    std::uint32_t actual = 0;
    err = jet_.retrieveColumn(session, catalogue, typeColumn, type, sizeof type, &actual, 0,
                              nullptr);
    if (err != JET_errSuccess) return failed("ERROR ", err);
    if (static_cast<std::int16_t>(type[0] | (type[1] << 8)) == kTableObject) {
      // A name longer than the buffer comes back truncated with a warning,
      // which ends the scan like any other failure.
      char name[kNameBufferSize];
      actual = 0;
      err = jet_.retrieveColumn(session, catalogue, nameColumn, name, kNameBufferSize, &actual,
                                0, nullptr);
      if (err != JET_errSuccess) return failed("eERROR ", err);
      tableNames_.emplace_back(name, std::min(actual, kNameBufferSize));
    }
    // The end of the catalogue, or any error, ends the walk without a line.
  } while (jet_.move(session, catalogue, JET_MoveNext, 0) == JET_errSuccess);
}

}  // namespace corvadex
