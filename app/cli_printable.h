// SPDX-License-Identifier: Apache-2.0
// Text from a file (table and column names) or from the user (paths) made
// safe for a terminal: control characters, DEL, the C1 controls and bytes
// that are not valid UTF-8 appear as \xHH escapes and a backslash as \\, so
// nothing printed can move the cursor, retitle the window or hide text.
#pragma once

#include <string>
#include <string_view>

namespace corvadex::cli {

std::string printable(std::string_view text);

// False, after "corvadex-cli: PATH: not a regular file" on standard error,
// when `path` exists and is neither a regular file nor a folder (a FIFO, a
// device, a socket): nothing is read from such a path, since a FIFO would
// block the read for ever and a device may never end.
bool refuseNonRegularFile(const std::string& path);

}  // namespace corvadex::cli
