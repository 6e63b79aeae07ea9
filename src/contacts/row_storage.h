// SPDX-License-Identifier: Apache-2.0
// Where the list keeps its rows' blocks: large chunks, filled one block
// after the other, so that a row's texts cost no allocation of their own.
//
// Blocks never move once placed. Only the last block can be given back (a
// row that did not fit, say); clear() frees every chunk.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace corvadex {

class RowStorage {
 public:
  // A place for `bytes` bytes, after the last block or in a fresh chunk.
  std::byte* allocate(std::size_t bytes);
  void clear();

  // Heap bytes held: every chunk's size and the table of chunks.
  std::size_t heldBytes() const { return chunkBytes_ + chunks_.capacity() * sizeof(Chunk); }
  // The heap bytes allocate(bytes) would add (a new chunk, when the last
  // one lacks room, and the growth of the table of chunks).
  std::size_t bytesToAllocate(std::size_t bytes) const;

 private:
  struct FreeChunk {
    void operator()(std::byte* bytes) const;
  };
  using ChunkBytes = std::unique_ptr<std::byte[], FreeChunk>;
  struct Chunk {
    ChunkBytes bytes;
    std::size_t size = 0;
    std::size_t used = 0;
  };
  static ChunkBytes allocateChunk(std::size_t size);
  bool fits(std::size_t bytes) const;
  std::size_t nextChunkSize(std::size_t bytes) const;
  std::size_t nextTableCapacity() const;

  std::vector<Chunk> chunks_;
  std::size_t chunkBytes_ = 0;
};

}  // namespace corvadex
