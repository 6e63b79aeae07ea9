// SPDX-License-Identifier: Apache-2.0
// Compares two dumps of an ESE database (see ese_dump.h): the expected one
// and the one a reader produced.
//
// They agree when the page sizes match; the tables come in the same order
// under the same names; each table has the same columns, by id, with the
// same names and types, and for text columns (types 10 and 12) the same
// code page; and the same number of rows in the same order, each row
// holding the same values column by column (a column a row leaves out
// counts as null).
#pragma once

#include <string>
#include <vector>

#include "ese_dump.h"

namespace corvadex::testing {

// One line per difference; empty when the dumps agree.
std::vector<std::string> compareDumps(const Dump& expected, const Dump& actual);

}  // namespace corvadex::testing
