// SPDX-License-Identifier: Apache-2.0
// Patched copies of the sample databases for the engine's tests: pages
// changed in a file image with their checksums made valid again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ese::testing {

// Applies `change` to data page `pgno` of the file image and stores a
// valid checksum for the changed page, as the engine would have written it.
void patchPage(std::vector<std::uint8_t>& image, std::uint32_t page_size, std::uint32_t pgno,
               const std::function<void(std::uint8_t* page)>& change);

std::uint16_t get16(const std::uint8_t* p);
std::uint32_t get32(const std::uint8_t* p);
void put16(std::uint8_t* p, std::uint16_t v);
void put32(std::uint8_t* p, std::uint32_t v);

}  // namespace ese::testing
