// SPDX-License-Identifier: Apache-2.0
// Decompression of stored column values.
//
// A compressed value's first byte names its scheme in its top five bits
// (value >> 3); the rest of the bytes are the scheme's own. The schemes are
// the ones the engine writes: 7-bit ASCII, 7-bit UTF-16 and XPRESS, among
// others that are recognised and reported as unsupported.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "ese/jet.h"

namespace ese {

// Replaces `out` with the decompressed bytes of `stored`. Returns
// JET_errSuccess, or an error status for a value that is corrupt or uses a
// scheme this reader does not support (then `out` is empty).
JET_ERR decompressValue(std::span<const std::byte> stored, std::vector<std::byte>& out);

// The most bytes decompressValue can give for `stored`, known from its
// header and size without decompressing.
std::size_t decompressedSizeLimit(std::span<const std::byte> stored);

}  // namespace ese
