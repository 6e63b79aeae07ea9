// SPDX-License-Identifier: Apache-2.0
// Writes one B+-tree (a table, a long-value tree, an index, or a space
// tree's owner) bottom-up from nodes given in ascending key order.
//
// Leaves fill up left to right; when one is full it is written and the
// first key of the next leaf goes up as the separator of the full one (in a
// parent node, key K over child C means every key in C sorts below K; the
// last node of a level's last page has an empty key). Full parent pages
// pass their own last key up the same way. Pages of one level are linked
// through their previous/next page numbers. The topmost single page is the
// root and is written at the tree's fixed first page (its FDP), whose tag 0
// holds the space header:
//   0 pages in the primary extent (4)   4 FDP of the parent tree (4)
//   8 flags (4): 1 multiple extents, 2 non-unique keys
//  12 page of the owned-extent tree (4; the available-extent tree is the
//     next page), or for a single-extent tree a bitmap of its free pages
// The owned-extent and available-extent trees list extents as nodes keyed
// by the extent's last page number (big-endian) with its page count as data.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "bytes.h"
#include "page_builder.h"
#include "page_file.h"

namespace corvadex::esew {

struct TreePlacement {
  std::uint32_t objid = 0;
  std::uint32_t pgnoFDP = 0;      // first page of the primary extent, the root
  std::uint32_t primaryPages = 1; // size of the primary extent
  std::uint32_t firstDataPage = 0;  // first free page in the primary extent (0: after FDP/OE/AE)
  std::uint32_t pgnoParentFDP = 1;
  bool multipleExtents = true;    // single extent: root only, no space trees
  bool nonUnique = false;
  std::uint32_t pageFlags = 0;    // page_flags::kLongValue, kIndex
};

class TreeWriter {
 public:
  TreeWriter(PageFile& file, const TreePlacement& placement);

  // Keys must ascend strictly; throws std::invalid_argument otherwise.
  void add(std::string_view key, std::string_view data);
  // Writes the remaining pages, the root and the space trees.
  void finish();

  std::uint64_t nodeCount() const { return nodes_; }
  std::uint32_t pagesOwned() const;

 private:
  struct Level {
    std::vector<std::pair<Bytes, Bytes>> nodes;
    std::size_t bytes = 0;
    std::uint32_t pgno = 0;  // page the pending nodes go to, once known
    std::uint32_t prev = 0;
    bool flushed = false;
  };
  struct Extent {
    std::uint32_t first, count;
  };

  void addAt(std::size_t level, Bytes key, Bytes data);
  void writeLevelPage(std::size_t level, std::uint32_t next);
  std::uint32_t allocatePage();
  std::size_t capacity() const;
  Bytes spaceHeader() const;
  void writeSpaceTree(std::uint32_t pgno, const std::vector<Extent>& extents);

  PageFile& file_;
  TreePlacement placement_;
  PageBuilder page_;
  std::vector<Level> levels_;
  std::vector<Extent> owned_;
  std::uint32_t nextFree_ = 0, extentEnd_ = 0;  // free run in the current extent
  Bytes lastKey_;
  bool haveKey_ = false;
  std::uint64_t nodes_ = 0;
};

}  // namespace corvadex::esew
