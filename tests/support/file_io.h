// SPDX-License-Identifier: Apache-2.0
// Whole files in and out for tests. Both throw std::runtime_error naming the
// file when it cannot be read or written, so that a missing input fails the
// test that needed it instead of handing it an empty buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvadex::testing {

std::string readFile(const std::string& path);
// The same bytes, for code that works on unsigned bytes.
std::vector<std::uint8_t> readFileBytes(const std::string& path);

// Replaces the file's content with `bytes`.
void writeFile(const std::string& path, const std::string& bytes);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace corvadex::testing
