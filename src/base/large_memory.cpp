// SPDX-License-Identifier: Apache-2.0
#include "base/large_memory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace corvadex::base {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}  // namespace

void* allocateLarge(std::size_t size) {
  void* bytes = nullptr;
  const std::size_t alignment = size >= kHugePage ? kHugePage : alignof(std::max_align_t);
  if (posix_memalign(&bytes, alignment, size == 0 ? 1 : size) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  if (size >= kHugePage) madvise(bytes, size - size % kHugePage, MADV_HUGEPAGE);
#endif
  return bytes;
}

void freeLarge(void* bytes) noexcept { std::free(bytes); }

}  // namespace corvadex::base
