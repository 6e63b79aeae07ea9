// SPDX-License-Identifier: Apache-2.0
// memcpy for the Windows build, in place of the C runtime's. The formatting
// of an export appends a great many short pieces to strings, each a memcpy
// of a few bytes; the runtime's copies such a piece a byte or a word at a
// time (under Wine, its memmove), which made the export's writing several
// times slower than on Linux. Here a copy of up to 64 bytes is two
// overlapping loads and stores of a fixed width, one of up to 512 bytes a
// run of 32-byte blocks, a longer one `rep movsb`, which processors since
// 2013 run at full speed.
#include <cstddef>
#include <cstdint>

namespace {

template <std::size_t Width>
inline void copyEnds(unsigned char* to, const unsigned char* from, std::size_t size) {
  // Both ends of [from, from + size), Width <= size <= 2 * Width.
  unsigned char head[Width];
  unsigned char tail[Width];
  __builtin_memcpy(head, from, Width);
  __builtin_memcpy(tail, from + size - Width, Width);
  __builtin_memcpy(to, head, Width);
  __builtin_memcpy(to + size - Width, tail, Width);
}

}  // namespace

extern "C" void* memcpy(void* __restrict destination, const void* __restrict source, std::size_t size) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  if (size > 512) {
    asm volatile("rep movsb" : "+D"(to), "+S"(from), "+c"(size) : : "memory");
  } else if (size > 64) {
    // 32-byte blocks, the last one ending at the end (`rep movsb` takes
    // longer to start than such a copy takes).
    const unsigned char* const last = from + size - 32;
    unsigned char* const lastTo = to + size - 32;
    unsigned char block[32];
    for (; from < last; from += 32, to += 32) {
      __builtin_memcpy(block, from, 32);
      __builtin_memcpy(to, block, 32);
    }
    __builtin_memcpy(block, last, 32);
    __builtin_memcpy(lastTo, block, 32);
  } else if (size >= 32) {
    copyEnds<32>(to, from, size);
  } else if (size >= 16) {
    copyEnds<16>(to, from, size);
  } else if (size >= 8) {
    copyEnds<8>(to, from, size);
  } else if (size >= 4) {
    copyEnds<4>(to, from, size);
  } else if (size > 0) {
    to[0] = from[0];
    to[size / 2] = from[size / 2];
    to[size - 1] = from[size - 1];
  }
  return destination;
}
