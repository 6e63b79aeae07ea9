// SPDX-License-Identifier: Apache-2.0
#include "ese/long_value.h"

#include <cstring>

#include "ese/compression.h"
#include "ese/status.h"

namespace ese {

Status readLongValue(BTreeCursor& cursor, const ByteView& id_bytes, std::uint64_t limit,
                      std::vector<std::byte>& out) {
  out.clear();
  const std::size_t id_size = id_bytes.size();
  if (id_size != 4 && id_size != 8) return corrupt("a long-value id is neither 4 nor 8 bytes");
  std::byte key[12];
  for (std::size_t i = 0; i < id_size; ++i) key[i] = id_bytes.data()[id_size - 1 - i];
  const Bytes id_key(key, id_size);

  // Rows mostly read their values in the order the tree keeps them: the
  // value after the one read last starts where the cursor stands.
  const auto on_root = [&cursor, &id_key] {
    if (!cursor.on_entry()) return false;
    const Bytes at = cursor.key();
    return at.size() == id_key.size() && std::memcmp(at.data(), id_key.data(), at.size()) == 0;
  };
  if (!on_root()) {
    if (Status err = cursor.seek(id_key); err != JET_errSuccess) {
      return err == JET_errNoCurrentRecord
                 ? corrupt("the long-value tree has no value of the record's long-value id")
                 : err;
    }
  }
  const Bytes root_key = cursor.key();
  if (root_key.size() != id_size || std::memcmp(root_key.data(), key, id_size) != 0) {
    return corrupt("the long-value tree has no value of the record's long-value id",
                   cursor.pgno());
  }
  std::uint32_t total = 0;
  if (!cursor.data().U32(4, total)) {
    return corrupt("a long value's root is too short for its size", cursor.pgno());
  }
  if (total > limit) return JET_errOutOfMemory;
  out.reserve(total);

  // A chunk is stored compressed exactly when it is shorter than the span
  // it covers (up to the next chunk's offset, or the value's end), so each
  // chunk is settled once the next one's offset is known.
  std::vector<std::byte> decompressed;
  ByteView pending;
  std::shared_ptr<const void> pending_page;  // keeps `pending` valid past the cursor's move
  std::uint32_t pending_offset = 0;
  std::uint32_t pending_pgno = 0;
  bool have_pending = false;
  auto settle = [&](std::uint64_t span_end) -> Status {
    if (pending_offset != out.size() || span_end < pending_offset) {
      return corrupt("a long value's chunks leave a gap or overlap", pending_pgno);
    }
    if (pending.size() < span_end - pending_offset) {
      if (JET_ERR err = decompressValue(pending.bytes(), decompressed); err != JET_errSuccess) {
        return Status(err, "a compressed chunk of a long value does not decompress", pending_pgno);
      }
      out.insert(out.end(), decompressed.begin(), decompressed.end());
    } else {
      out.insert(out.end(), pending.data(), pending.data() + pending.size());
    }
    return JET_errSuccess;
  };
  for (;;) {
    Status err = cursor.Next();
    if (err == JET_errNoCurrentRecord) break;
    if (err != JET_errSuccess) return err;
    const Bytes k = cursor.key();
    if (k.size() != id_size + 4 || std::memcmp(k.data(), key, id_size) != 0) break;
    const std::uint32_t offset = (static_cast<std::uint32_t>(k[id_size]) << 24) |
                                 (static_cast<std::uint32_t>(k[id_size + 1]) << 16) |
                                 (static_cast<std::uint32_t>(k[id_size + 2]) << 8) |
                                 static_cast<std::uint32_t>(k[id_size + 3]);
    if (have_pending) {
      if (Status e = settle(offset); e != JET_errSuccess) return e;
    }
    if (offset >= total) break;
    pending = cursor.data();
    pending_page = cursor.pageOwner();
    pending_offset = offset;
    pending_pgno = cursor.pgno();
    have_pending = true;
  }
  if (have_pending && pending_offset < total) {
    if (Status e = settle(total); e != JET_errSuccess) return e;
  }
  if (out.size() < total) return corrupt("a long value is shorter than its root says", cursor.pgno());
  out.resize(total);
  return JET_errSuccess;
}

}  // namespace ese
