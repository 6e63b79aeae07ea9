// SPDX-License-Identifier: Apache-2.0
// Inside OutputFile: what its buffer (output_file_buffer.cpp) needs of each
// system's source (output_file.cpp, output_file_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace corvadex {

inline constexpr std::size_t kOutputBufferSize = 256 * 1024;

[[noreturn]] inline void throwErrno(int error, const std::string& name) {
  throw std::system_error(error, std::generic_category(), name);
}

// `prefix` with eight random letters and digits and ".tmp": a candidate for
// the temporary file beside an export's target.
inline std::string temporaryName(const std::string& prefix, std::mt19937_64& random) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = prefix;
  for (int i = 0; i < 8; ++i) name.push_back(kDigits[random() % 36]);
  return name + ".tmp";
}

// Writes all of `bytes` to descriptor `fd`, at byte `offset` when one is
// given; throws naming `name`.
void writeAll(int fd, std::string_view bytes, const std::string& name, const std::uint64_t* offset = nullptr);

}  // namespace corvadex
