// SPDX-License-Identifier: Apache-2.0
// Memory for large arrays on Windows: blocks of 2 MiB or more aligned to
// 2 MiB, as on the other systems (large pages need a privilege users do not
// have, so the alignment only keeps the layout the same).
#include "base/large_memory.h"

#include <malloc.h>

#include <cstdlib>

namespace corvadex::base {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}  // namespace

void* allocateLarge(std::size_t size) {
  const std::size_t alignment = size >= kHugePage ? kHugePage : alignof(std::max_align_t);
  void* bytes = ::_aligned_malloc(size == 0 ? 1 : size, alignment);
  if (bytes == nullptr) throw std::bad_alloc();
  return bytes;
}

void freeLarge(void* bytes) noexcept { ::_aligned_free(bytes); }

}  // namespace corvadex::base
