// SPDX-License-Identifier: Apache-2.0
// Test support: read every value of every table of a database file, the way
// the command line's dump does, and fold what was read into a digest.
//
// Two readings that succeed and give the same digest have seen the same
// tables, columns, rows and value bytes in the same order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ese/jet.h"

namespace ese::testing {

struct ReadOutcome {
  JET_ERR status = JET_errSuccess;  // the first failure, or success
  std::uint64_t tables = 0;
  std::uint64_t rows = 0;
  std::uint64_t values = 0;
  std::uint64_t digest = 0;
};

// Through the engine's C++ interface (Database, TableCursor). A table whose
// walk fails is left at the failure and the next table is read, so that one
// damaged table does not hide what the others do with the damage; `status`
// keeps the first failure.
ReadOutcome readThroughDatabase(const std::string& path);

// Through the Jet calls, in the order the contact store reader makes them:
// page-size query, page size and recovery parameters, instance, session,
// attach read-only, open; then the catalog table MSysObjects is walked to
// learn every table's name and columns, and every table is opened and
// walked with JetMove, every value of every column read with
// JetRetrieveColumn (all values of a multi-valued column). The instance is
// always terminated. `while_open`, when given, runs once the database is
// open, before the walk.
ReadOutcome readThroughJet(JetApi& jet, const std::string& path,
                           const std::function<void()>& while_open = {});

// The same reading, each row's values given by one JetEnumerateColumns
// call, folded the same way: the same digest as readThroughJet's when both
// succeed.
ReadOutcome readThroughEnumeration(const std::string& path);

// Writes a generated contacts database to `path` with make-contacts-db:
// 3,000 contacts on 4 KiB pages, over a thousand leaves of rows and of long
// values. Throws std::runtime_error when the program fails.
void makeManyLeafDatabase(const std::string& path);

}  // namespace ese::testing
