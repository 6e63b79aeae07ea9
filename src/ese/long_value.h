// SPDX-License-Identifier: Apache-2.0
// Values kept in a table's long-value tree ("separated" long values).
//
// A record stores such a value as its long-value id: 4 bytes (ids below
// 0x80000000) or 8 bytes (ids with the top bit set), little-endian. In the
// long-value tree the id is the key, big-endian:
//   key = id                 the value's root: u32 reference count,
//                            u32 total size (newer files add a flags byte)
//   key = id, u32 offset     a chunk of the value starting at that offset
// Chunks follow the root in key order and are concatenated. A chunk shorter
// than the span it covers is compressed (see compression.h).
#pragma once

#include <cstdint>
#include <vector>

#include "ese/btree.h"
#include "base/byte_view.h"
#include "ese/jet.h"
#include "ese/status.h"

namespace ese {

using corvadex::base::Bytes;
using corvadex::base::ByteView;

// Replaces `out` with the value whose stored id is `id_bytes`, read through
// `cursor`, a cursor on the table's long-value tree. A value whose root
// claims more than `limit` bytes gives JET_errOutOfMemory before anything
// is allocated for it.
Status readLongValue(BTreeCursor& cursor, const ByteView& id_bytes, std::uint64_t limit,
                      std::vector<std::byte>& out);

}  // namespace ese
