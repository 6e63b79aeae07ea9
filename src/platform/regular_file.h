// SPDX-License-Identifier: Apache-2.0
// Reading a whole small file of the Wine prefix (a registry file, an
// executable) safely: the file is opened without blocking, must be a regular
// file, and is read only when it is no longer than a cap, in one copy.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace corvadex::platform {

// The bytes of the regular file `path`, or none when it cannot be opened,
// is not a regular file (a FIFO, a device, a folder), is longer than `cap`
// bytes, or cannot be read.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t cap);

}  // namespace corvadex::platform
