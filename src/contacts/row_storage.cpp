// SPDX-License-Identifier: Apache-2.0
#include "contacts/row_storage.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace corvadex {
namespace {
// Chunks start small, for the lists of a few contacts, and grow with the
// list up to a size whose last, partly used chunk costs little.
constexpr std::size_t kFirstChunk = std::size_t{16} << 10;
constexpr std::size_t kLargestChunk = std::size_t{4} << 20;

// Large chunks are laid on huge-page boundaries and offered to the kernel
// for huge pages: filling a chunk then costs a page fault every 2 MiB, not
// every 4 KiB, which in a read of a million contacts is much of the time
// the list takes to fill.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}  // namespace

void RowStorage::FreeChunk::operator()(std::byte* bytes) const { std::free(bytes); }

RowStorage::ChunkBytes RowStorage::allocateChunk(std::size_t size) {
  void* bytes = nullptr;
  const std::size_t alignment = size >= kHugePage ? kHugePage : alignof(std::max_align_t);
  if (posix_memalign(&bytes, alignment, size) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  if (size >= kHugePage) madvise(bytes, size - size % kHugePage, MADV_HUGEPAGE);
#endif
  return ChunkBytes(static_cast<std::byte*>(bytes));
}

bool RowStorage::fits(std::size_t bytes) const {
  return !chunks_.empty() && chunks_.back().size - chunks_.back().used >= bytes;
}

std::size_t RowStorage::nextChunkSize(std::size_t bytes) const {
  const std::size_t grown = std::clamp(chunkBytes_ / 4, kFirstChunk, kLargestChunk);
  return std::max(grown, bytes);
}

std::size_t RowStorage::nextTableCapacity() const {
  return std::max<std::size_t>(1, 2 * chunks_.capacity());
}

std::size_t RowStorage::bytesToAllocate(std::size_t bytes) const {
  if (bytes == 0 || fits(bytes)) return 0;
  const std::size_t table =
      chunks_.size() == chunks_.capacity() ? (nextTableCapacity() - chunks_.capacity()) * sizeof(Chunk) : 0;
  return nextChunkSize(bytes) + table;
}

std::byte* RowStorage::allocate(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (!fits(bytes)) {
    const std::size_t size = nextChunkSize(bytes);
    if (chunks_.size() == chunks_.capacity()) chunks_.reserve(nextTableCapacity());
    chunks_.push_back(Chunk{allocateChunk(size), size, 0});
    chunkBytes_ += size;
  }
  Chunk& chunk = chunks_.back();
  std::byte* place = chunk.bytes.get() + chunk.used;
  chunk.used += bytes;
  return place;
}

void RowStorage::releaseLast(std::size_t bytes) {
  if (bytes == 0 || chunks_.empty()) return;
  Chunk& chunk = chunks_.back();
  chunk.used -= std::min(bytes, chunk.used);
  if (chunk.used == 0) {
    chunkBytes_ -= chunk.size;
    chunks_.pop_back();
  }
}

void RowStorage::clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  chunkBytes_ = 0;
}

}  // namespace corvadex
