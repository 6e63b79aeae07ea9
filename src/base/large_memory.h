// SPDX-License-Identifier: Apache-2.0
// Memory for large arrays that are filled once, as a read fills its list:
// blocks of 2 MiB or more are laid on huge-page boundaries and offered to
// the kernel for huge pages, so that filling them costs a page fault every
// 2 MiB instead of every 4 KiB.
#pragma once

#include <cstddef>
#include <new>

namespace corvadex::base {

// At least `size` bytes, aligned for any object; std::bad_alloc when there
// is no memory. Freed with freeLarge.
void* allocateLarge(std::size_t size);
void freeLarge(void* bytes) noexcept;

// An allocator for std::vector that takes its memory from allocateLarge.
template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(allocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) noexcept { freeLarge(p); }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace corvadex::base
