// SPDX-License-Identifier: Apache-2.0
// Normalised keys: the byte strings a B+-tree sorts by. Every key column
// contributes 0x7f (value present) and then its value in an order-preserving
// big-endian form: signed integers with the sign bit flipped, unsigned ones
// as they are, binary in 8-byte segments each followed by 9 when more
// follows or else by the count of bytes the last segment holds.
#pragma once

#include "schema.h"

namespace corvadex::esew {

// Appends one column's normalised value; false when the type cannot be a key.
bool appendKeySegment(Bytes& key, ColumnType type, std::string_view value);

// The primary key of a row of the table; throws when a key column is null.
Bytes primaryKey(const TableDef& table, const Row& row);

}  // namespace corvadex::esew
