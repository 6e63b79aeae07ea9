// SPDX-License-Identifier: Apache-2.0
// Inside OutputFile: what its buffer (output_file_buffer.cpp) needs of each
// system's source (output_file.cpp, output_file_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace corvadex {

inline constexpr std::size_t kOutputBufferSize = 256 * 1024;

[[noreturn]] inline void throwErrno(int error, const std::string& name) {
  throw std::system_error(error, std::generic_category(), name);
}

// Writes all of `bytes` to descriptor `fd`, at byte `offset` when one is
// given; throws naming `name`.
void writeAll(int fd, std::string_view bytes, const std::string& name, const std::uint64_t* offset = nullptr);

}  // namespace corvadex
