// SPDX-License-Identifier: Apache-2.0
#include "tree_writer.h"

#include <algorithm>
#include <stdexcept>

namespace corvadex::esew {

namespace {

// Extents after the primary one grow with the tree, up to a cap that keeps
// the owned-extent list of even a very large tree on one page.
constexpr std::uint32_t kSmallestExtent = 8;
constexpr std::uint32_t kLargestExtent = 16384;

}  // namespace

TreeWriter::TreeWriter(PageFile& file, const TreePlacement& placement)
    : file_(file), placement_(placement), page_(file.format()), levels_(1) {
  owned_.push_back({placement.pgnoFDP, placement.primaryPages});
  nextFree_ = placement.firstDataPage != 0
                  ? placement.firstDataPage
                  : placement.pgnoFDP + (placement.multipleExtents ? 3 : 1);
  extentEnd_ = placement.pgnoFDP + placement.primaryPages;
}

std::size_t TreeWriter::capacity() const {
  // Room for nodes on an empty page whose tag 0 holds up to 16 bytes.
  const FileFormat& f = file_.format();
  return f.pageSize - f.pageHeaderSize() - 16 - 4;
}

std::uint32_t TreeWriter::pagesOwned() const {
  std::uint32_t n = 0;
  for (const auto& e : owned_) n += e.count;
  return n;
}

std::uint32_t TreeWriter::allocatePage() {
  if (nextFree_ >= extentEnd_) {
    if (!placement_.multipleExtents)
      throw std::invalid_argument("a single-page system table outgrew its page");
    const std::uint32_t size = std::clamp(pagesOwned() / 2, kSmallestExtent, kLargestExtent);
    const std::uint32_t first = file_.allocate(size);
    owned_.push_back({first, size});
    nextFree_ = first;
    extentEnd_ = first + size;
  }
  return nextFree_++;
}

void TreeWriter::add(std::string_view key, std::string_view data) {
  if (haveKey_ && !(lastKey_ < key))
    throw std::invalid_argument("keys must be added in ascending order without repeats");
  lastKey_.assign(key);
  haveKey_ = true;
  ++nodes_;
  addAt(0, Bytes(key), Bytes(data));
}

void TreeWriter::addAt(std::size_t level, Bytes key, Bytes data) {
  const std::size_t cost = PageBuilder::nodeCost(key.size(), data.size());
  if (cost > capacity()) throw std::invalid_argument("a record does not fit on a page");
  Level& lv = levels_[level];
  if (!lv.nodes.empty() && lv.bytes + cost > capacity()) {
    // The full page gets its page number now, the next one too, so that
    // both sibling links can be written.
    if (lv.pgno == 0) lv.pgno = allocatePage();
    const std::uint32_t next = allocatePage();
    // Separator: the first key of the next leaf, or a full parent page's
    // own last key.
    Bytes separator = level == 0 ? key : lv.nodes.back().first;
    const std::uint32_t child = lv.pgno;
    writeLevelPage(level, next);
    lv.prev = child;
    lv.pgno = next;
    lv.flushed = true;
    lv.nodes.clear();
    lv.bytes = 0;
    if (levels_.size() == level + 1) levels_.emplace_back();
    addAt(level + 1, std::move(separator), le32(child));
  }
  Level& now = levels_[level];
  now.bytes += cost;
  now.nodes.emplace_back(std::move(key), std::move(data));
}

void TreeWriter::writeLevelPage(std::size_t level, std::uint32_t next) {
  Level& lv = levels_[level];
  std::uint32_t flags = placement_.pageFlags | (level == 0 ? page_flags::kLeaf : page_flags::kParent);
  // Leaf pages share their nodes' common key prefix through tag 0 when that
  // saves space (more than the two bytes a compressed node spends).
  std::size_t prefix = 0;
  if (level == 0 && !lv.nodes.empty()) {
    const Bytes& a = lv.nodes.front().first;
    const Bytes& b = lv.nodes.back().first;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    if (prefix <= 2) prefix = 0;
  }
  page_.start(placement_.objid, flags, std::string_view(lv.nodes.front().first).substr(0, prefix));
  for (const auto& [k, d] : lv.nodes) page_.addNode(k, d, prefix);
  // Only leaves are chained to their neighbours; parent pages keep 0 in both.
  const bool leaf = level == 0;
  file_.writePage(lv.pgno, page_.finish(lv.pgno, leaf ? lv.prev : 0, leaf ? next : 0, file_.nextDbtime()));
}

Bytes TreeWriter::spaceHeader() const {
  Bytes h;
  putU32(h, placement_.primaryPages);
  putU32(h, placement_.pgnoParentFDP);
  std::uint32_t flags = 0;
  if (placement_.multipleExtents) flags |= 1;
  if (placement_.nonUnique) flags |= 2;
  putU32(h, flags);
  putU32(h, placement_.multipleExtents ? placement_.pgnoFDP + 1 : 0);
  return h;
}

void TreeWriter::writeSpaceTree(std::uint32_t pgno, const std::vector<Extent>& extents) {
  page_.start(placement_.objid, page_flags::kRoot | page_flags::kLeaf | page_flags::kSpaceTree,
              Bytes(16, '\0'));
  for (const auto& e : extents) {
    Bytes key;
    putBE32(key, e.first + e.count - 1);
    if (PageBuilder::nodeCost(key.size(), 4) > page_.freeBytes())
      throw std::runtime_error("too many extents for one space tree page");
    page_.addNode(key, le32(e.count));
  }
  file_.writePage(pgno, page_.finish(pgno, 0, 0, file_.nextDbtime()));
}

void TreeWriter::finish() {
  for (std::size_t level = 0;; ++level) {
    Level& lv = levels_[level];
    if (!lv.flushed) {
      // The top level's only page is the root, at the tree's FDP.
      const std::uint32_t flags = placement_.pageFlags | page_flags::kRoot |
                                  (level == 0 ? page_flags::kLeaf : page_flags::kParent);
      page_.start(placement_.objid, flags, spaceHeader());
      for (const auto& [k, d] : lv.nodes) page_.addNode(k, d);
      file_.writePage(placement_.pgnoFDP,
                      page_.finish(placement_.pgnoFDP, 0, 0, file_.nextDbtime()));
      break;
    }
    const std::uint32_t pgno = lv.pgno;
    writeLevelPage(level, 0);
    if (levels_.size() == level + 1) levels_.emplace_back();
    addAt(level + 1, Bytes(), le32(pgno));
  }
  if (placement_.multipleExtents) {
    writeSpaceTree(placement_.pgnoFDP + 1, owned_);
    std::vector<Extent> available;
    if (nextFree_ < extentEnd_) available.push_back({nextFree_, extentEnd_ - nextFree_});
    writeSpaceTree(placement_.pgnoFDP + 2, available);
  }
}

}  // namespace corvadex::esew
