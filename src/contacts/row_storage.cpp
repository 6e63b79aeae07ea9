// SPDX-License-Identifier: Apache-2.0
#include "contacts/row_storage.h"

#include <algorithm>

#include "base/large_memory.h"

namespace corvadex {
namespace {
// Chunks start small, for the lists of a few contacts, and grow with the
// list up to a size whose last, partly used chunk costs little.
constexpr std::size_t kFirstChunk = std::size_t{16} << 10;
constexpr std::size_t kLargestChunk = std::size_t{4} << 20;
}  // namespace

// Large chunks are offered to the kernel for huge pages (base/large_memory.h):
// in a read of a million contacts the page faults of filling the chunks are
// much of the time the list takes to fill.
void RowStorage::FreeChunk::operator()(std::byte* bytes) const { base::freeLarge(bytes); }

RowStorage::ChunkBytes RowStorage::allocateChunk(std::size_t size) {
  return ChunkBytes(static_cast<std::byte*>(base::allocateLarge(size)));
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

void RowStorage::clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  chunkBytes_ = 0;
}

}  // namespace corvadex
