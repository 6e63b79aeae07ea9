// SPDX-License-Identifier: Apache-2.0
// Beside the Jet calls: an open database's schema as the engine read it,
// for the command line's `tables` and `dump`, which show every table and
// column with what the catalog says of them (object ids, root pages,
// templates, defaults), more than JetGetTableColumnInfo gives.
#pragma once

#include <memory>
#include <vector>

#include "ese/jet.h"
#include "ese/schema.h"

namespace ese {

// The tables of database `dbid` (opened by the session), in catalog order.
// JET_errInvalidSesid / JET_errInvalidDatabaseId for a stale handle.
JET_ERR getDatabaseTables(JET_SESID sesid, JET_DBID dbid,
                          std::vector<std::shared_ptr<const TableInfo>>& tables);

// JetOpenTable for one of those tables, given as getDatabaseTables gave it:
// a damaged catalog may give two tables one name, which JetOpenTable could
// not tell apart. JET_errObjectNotFound for a table not of that database.
JET_ERR openDatabaseTable(JET_SESID sesid, JET_DBID dbid,
                          const std::shared_ptr<const TableInfo>& table, JET_TABLEID* ptableid);

}  // namespace ese
