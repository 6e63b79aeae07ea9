// SPDX-License-Identifier: Apache-2.0
// Fuzz target: read the fixed version information of the input as a
// Windows executable.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)corvadex::platform::readFixedFileInfo(std::as_bytes(std::span(data, size)));
  return 0;
}
