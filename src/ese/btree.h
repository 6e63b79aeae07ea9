// SPDX-License-Identifier: Apache-2.0
// A cursor over one B+-tree: walks its leaf entries in key order.
//
// Node layout (the value of tag 1.. of a page):
//   with kTagCompressed:  u16 prefix size, u16 suffix size, suffix, data
//   without:              u16 key size, key, data
// The full key is the first `prefix size` bytes of the page's tag 0 value
// followed by the suffix. In 16/32 KiB pages the first u16 carries the tag
// flags in its top 3 bits, masked off here. In branch pages the data is the
// 4-byte number of the child page whose keys are at most the node's key
// (the last node's key may be empty: everything greater).
//
// Leaf entries flagged deleted are skipped. Each key a walk comes to must
// be greater than the one before it: a branch that leads into a page twice,
// or a page whose keys are out of order, is damage. A corrupt tree can never make
// the cursor loop: the tree depth is bounded and a walk may enter at most
// as many pages as the file holds.
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_view.h"
#include "ese/db_file.h"
#include "ese/jet.h"
#include "ese/status.h"
#include "ese/page.h"

namespace ese {

using corvadex::base::Bytes;
using corvadex::base::ByteView;

struct Node {
  ByteView prefix;  // the shared part of the key
  ByteView suffix;  // the node's own part of the key
  ByteView data;
  std::uint8_t flags = 0;
};

// Parses node `index` of `page`, whose tag 0 value is `common`.
// JET_errDatabaseCorrupted, naming the page, when it does not fit.
[[nodiscard]] Status parseNode(const Page& page, std::uint16_t index, const ByteView& common,
                                Node& out);

// Compares prefix+suffix with `key` as unsigned bytes (shorter first).
int compareKey(const Node& node, Bytes key);

class BTreeCursor {
 public:
  BTreeCursor() = default;
  BTreeCursor(const DbFile* file, std::uint32_t root_pgno, std::uint32_t objid)
      : file_(file), root_(root_pgno), objid_(objid) {}

  // Moves to the first entry: JET_errNoCurrentRecord when the tree is empty.
  Status first();
  // Moves to the next entry: JET_errNoCurrentRecord past the last one.
  Status Next();
  // Moves to the first entry whose key is >= key.
  Status seek(Bytes key);

  bool on_entry() const { return on_entry_; }
  // The current entry's full key (valid until the cursor moves).
  Bytes key() const;
  const ByteView& data() const { return data_; }
  // The number of the page the cursor is on (0 when on none).
  std::uint32_t pgno() const { return path_.empty() ? 0 : path_.back().page.pgno(); }
  // The whole page the cursor is on (empty when on none).
  Bytes page() const { return path_.empty() ? Bytes() : path_.back().page.bytes(); }
  // What holds that page's bytes: views into the page stay valid while it
  // is kept, after the cursor has moved on.
  std::shared_ptr<const void> pageOwner() const {
    return path_.empty() ? nullptr : path_.back().page.owner();
  }

 private:
  struct Frame {
    Page page;
    ByteView common;
    std::uint16_t index = 0;
  };

  Status Enter(std::uint32_t pgno, Frame& frame);
  Status descendFirst(std::uint32_t pgno);
  Status childOf(const Frame& frame, std::uint32_t& child) const;
  // Advances from the current leaf slot (inclusive) to the next live entry.
  Status settle();
  void setCurrent(const Node& node);
  // JET_errDatabaseCorrupted, naming `pgno`, unless `node`'s key is
  // greater than the key the walk gave before it.
  Status checkOrder(const Node& node, std::uint32_t pgno) const;

  const DbFile* file_ = nullptr;
  std::uint32_t root_ = 0;
  std::uint32_t objid_ = 0;
  std::vector<Frame> path_;
  ByteView key_prefix_;  // the current entry's key, in its page
  ByteView key_suffix_;
  mutable std::vector<std::byte> key_;  // the two put together, once asked for
  mutable bool key_ready_ = false;
  ByteView data_;
  std::uint64_t pages_entered_ = 0;
  bool on_entry_ = false;
  // Where the key the walk gave last is: none yet, the current entry's key
  // (in the leaf page on top of the path), or a copy in walked_key_.
  enum class Walked : std::uint8_t { kNone, kInPage, kKept };
  Walked walked_ = Walked::kNone;
  std::vector<std::byte> walked_key_;
};

}  // namespace ese
