// SPDX-License-Identifier: Apache-2.0
#include "ese/btree.h"

#include <algorithm>
#include <cstring>


namespace ese {
namespace {
constexpr std::size_t kMaxDepth = 32;
}

Status parseNode(const Page& page, std::uint16_t index, const ByteView& common, Node& out) {
  PageTag tag;
  if (!page.tag(index, tag)) {
    return corrupt("a node's tag points outside the page's data area", page.pgno());
  }
  const ByteView& v = tag.value;
  const std::uint16_t mask = page.large() ? 0x1fff : 0xffff;
  std::size_t at = 0;
  std::uint16_t prefix_size = 0;
  if (tag.flags & kTagCompressed) {
    if (!v.U16(0, prefix_size)) return corrupt("a node is too short for its key sizes", page.pgno());
    prefix_size &= mask;
    at = 2;
  }
  std::uint16_t suffix_size = 0;
  if (!v.U16(at, suffix_size)) return corrupt("a node is too short for its key sizes", page.pgno());
  if (at == 0) suffix_size &= mask;
  at += 2;
  if (!common.sub(0, prefix_size, out.prefix)) {
    return corrupt("a node's shared key prefix is longer than the page's", page.pgno());
  }
  if (!v.sub(at, suffix_size, out.suffix)) {
    return corrupt("a node's key runs past the node's end", page.pgno());
  }
  out.data = v.from(at + suffix_size);
  out.flags = tag.flags;
  return JET_errSuccess;
}

namespace {

// Compares the key made of a1 then a2 with the key made of b1 then b2, as
// unsigned bytes (shorter first).
int compareSplitKeys(Bytes a1, Bytes a2, Bytes b1, Bytes b2) {
  // Two keys of one page share the start of its common prefix: only what
  // follows the shorter shared part is compared.
  if (a1.data() == b1.data()) {
    const std::size_t n = std::min(a1.size(), b1.size());
    a1 = a1.subspan(n);
    b1 = b1.subspan(n);
  }
  for (;;) {
    if (a1.empty()) {
      if (a2.empty()) return b1.empty() && b2.empty() ? 0 : -1;
      a1 = a2;
      a2 = Bytes();
    }
    if (b1.empty()) {
      if (b2.empty()) return 1;
      b1 = b2;
      b2 = Bytes();
    }
    const std::size_t n = std::min(a1.size(), b1.size());
    if (int c = std::memcmp(a1.data(), b1.data(), n); c != 0) return c;
    a1 = a1.subspan(n);
    b1 = b1.subspan(n);
  }
}

}  // namespace

int compareKey(const Node& node, Bytes key) {
  const std::size_t p = node.prefix.size();
  const std::size_t n = std::min(p, key.size());
  if (n > 0) {
    if (int c = std::memcmp(node.prefix.data(), key.data(), n); c != 0) return c;
  }
  if (key.size() < p) return 1;
  const Bytes rest = key.subspan(p);
  const std::size_t s = node.suffix.size();
  const std::size_t m = std::min(s, rest.size());
  if (m > 0) {
    if (int c = std::memcmp(node.suffix.data(), rest.data(), m); c != 0) return c;
  }
  if (s == rest.size()) return 0;
  return s < rest.size() ? -1 : 1;
}

Status BTreeCursor::Enter(std::uint32_t pgno, Frame& frame) {
  if (file_ == nullptr) return JET_errInvalidParameter;
  if (path_.size() >= kMaxDepth) return corrupt("the tree is deeper than any tree can be", pgno);
  if (++pages_entered_ > std::uint64_t{file_->page_count()} + 1) {
    return corrupt("the tree's links lead round in a circle", pgno);
  }
  if (Status err = file_->readPage(pgno, frame.page); err != JET_errSuccess) return err;
  if (frame.page.header().objid != objid_) {
    return Status(JET_errBadPageLink, "the page belongs to another tree than the one linking to it",
                pgno);
  }
  // Tag 0 holds the key prefix the page's nodes share; a page without tags
  // shares none.
  frame.common = ByteView();
  if (frame.page.tag_count() > 0) {
    PageTag tag;
    if (!frame.page.tag(0, tag)) {
      return corrupt("the page's common key points outside its data area", pgno);
    }
    frame.common = tag.value;
  }
  frame.index = 1;
  return JET_errSuccess;
}

Status BTreeCursor::childOf(const Frame& frame, std::uint32_t& child) const {
  Node node;
  if (Status err = parseNode(frame.page, frame.index, frame.common, node); err != JET_errSuccess) {
    return err;
  }
  if (!node.data.U32(0, child)) {
    return corrupt("a branch node is too short for its child page number", frame.page.pgno());
  }
  return JET_errSuccess;
}

Status BTreeCursor::descendFirst(std::uint32_t pgno) {
  for (;;) {
    Frame frame;
    if (Status err = Enter(pgno, frame); err != JET_errSuccess) return err;
    path_.push_back(std::move(frame));
    Frame& entered = path_.back();
    if (entered.page.is_leaf()) return JET_errSuccess;
    if (entered.page.tag_count() <= 1) {
      // An empty branch page: nothing below it; Settle moves on.
      entered.index = entered.page.tag_count();
      return JET_errSuccess;
    }
    if (Status err = childOf(path_.back(), pgno); err != JET_errSuccess) return err;
  }
}

Status BTreeCursor::settle() {
  for (;;) {
    Frame& top = path_.back();
    if (top.page.is_leaf() && top.index < top.page.tag_count()) {
      Node node;
      if (Status err = parseNode(top.page, top.index, top.common, node); err != JET_errSuccess) {
        return err;
      }
      if ((node.flags & kTagDeleted) == 0) {
        if (Status err = checkOrder(node, top.page.pgno()); err != JET_errSuccess) return err;
        setCurrent(node);
        return JET_errSuccess;
      }
      ++top.index;
      continue;
    }
    // This page is used up: climb to the first ancestor with another child.
    // The last key it gave is kept, for the next page's first key to be
    // checked against once the page may be gone.
    if (walked_ == Walked::kInPage) {
      const Bytes last = key();
      walked_key_.assign(last.begin(), last.end());
      walked_ = Walked::kKept;
    }
    path_.pop_back();
    while (!path_.empty()) {
      Frame& parent = path_.back();
      if (parent.index + 1 < parent.page.tag_count()) {
        ++parent.index;
        break;
      }
      path_.pop_back();
    }
    if (path_.empty()) {
      on_entry_ = false;
      return JET_errNoCurrentRecord;
    }
    std::uint32_t child = 0;
    if (Status err = childOf(path_.back(), child); err != JET_errSuccess) return err;
    if (Status err = descendFirst(child); err != JET_errSuccess) return err;
  }
}

Status BTreeCursor::checkOrder(const Node& node, std::uint32_t pgno) const {
  int order = 1;
  switch (walked_) {
    case Walked::kNone:
      break;
    case Walked::kInPage:
      order = compareSplitKeys(node.prefix.bytes(), node.suffix.bytes(), key_prefix_.bytes(),
                               key_suffix_.bytes());
      break;
    case Walked::kKept:
      order = compareKey(node, Bytes(walked_key_.data(), walked_key_.size()));
      break;
  }
  return order > 0 ? JET_errSuccess : corrupt("a key does not follow the key before it", pgno);
}

void BTreeCursor::setCurrent(const Node& node) {
  // The key is put together only when asked for: a walk that reads rows
  // does not need it.
  key_prefix_ = node.prefix;
  key_suffix_ = node.suffix;
  key_ready_ = false;
  data_ = node.data;
  on_entry_ = true;
  walked_ = Walked::kInPage;
}

Bytes BTreeCursor::key() const {
  if (!key_ready_) {
    key_.resize(key_prefix_.size() + key_suffix_.size());
    if (!key_prefix_.empty()) std::memcpy(key_.data(), key_prefix_.data(), key_prefix_.size());
    if (!key_suffix_.empty()) {
      std::memcpy(key_.data() + key_prefix_.size(), key_suffix_.data(), key_suffix_.size());
    }
    key_ready_ = true;
  }
  return Bytes(key_.data(), key_.size());
}

Status BTreeCursor::first() {
  path_.clear();
  on_entry_ = false;
  walked_ = Walked::kNone;
  pages_entered_ = 0;
  if (Status err = descendFirst(root_); err != JET_errSuccess) return err;
  return settle();
}

Status BTreeCursor::Next() {
  if (!on_entry_ || path_.empty()) return JET_errNoCurrentRecord;
  on_entry_ = false;
  ++path_.back().index;
  return settle();
}

Status BTreeCursor::seek(Bytes key) {
  path_.clear();
  on_entry_ = false;
  walked_ = Walked::kNone;
  pages_entered_ = 0;
  std::uint32_t pgno = root_;
  for (;;) {
    Frame frame;
    if (Status err = Enter(pgno, frame); err != JET_errSuccess) return err;
    const std::uint16_t count = frame.page.tag_count();
    // First node whose key is >= the sought key (in a branch the last
    // node stands for everything beyond).
    const bool leaf = frame.page.is_leaf();
    std::uint16_t lo = 1;
    std::uint16_t hi = leaf || count <= 1 ? count : static_cast<std::uint16_t>(count - 1);
    while (lo < hi) {
      const std::uint16_t mid = static_cast<std::uint16_t>(lo + (hi - lo) / 2);
      Node node;
      if (Status err = parseNode(frame.page, mid, frame.common, node); err != JET_errSuccess) {
        return err;
      }
      if (compareKey(node, key) < 0) {
        lo = static_cast<std::uint16_t>(mid + 1);
      } else {
        hi = mid;
      }
    }
    frame.index = lo;
    path_.push_back(std::move(frame));
    if (leaf || count <= 1) break;
    if (Status err = childOf(path_.back(), pgno); err != JET_errSuccess) return err;
  }
  if (!path_.back().page.is_leaf()) path_.back().index = path_.back().page.tag_count();
  if (Status err = settle(); err != JET_errSuccess) return err;
  // Separator keys may equal the first key of the next subtree: step on
  // until the sought key is reached.
  for (Bytes at = this->key();
       std::lexicographical_compare(at.begin(), at.end(), key.begin(), key.end());
       at = this->key()) {
    if (Status err = Next(); err != JET_errSuccess) return err;
  }
  return JET_errSuccess;
}

}  // namespace ese
