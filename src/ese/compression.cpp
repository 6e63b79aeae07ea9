// SPDX-License-Identifier: Apache-2.0
// Decompression of stored column values.
//
// A compressed value starts with one header byte:
//
//   bits 7..3  scheme
//   bits 2..0  scheme-specific (the 7-bit schemes keep a bit count here)
//
// Schemes, as the engine numbers them:
//
//   1  7-bit ASCII    Every byte of the value was below 0x80. The low seven
//                     bits of each are packed into a bit stream, least
//                     significant bit first, starting at byte 1. The header's
//                     low three bits hold (bits used in the last byte - 1), so
//                     the stream carries ((size - 2) * 8 + used) bits, always
//                     a multiple of seven.
//   2  7-bit UTF-16   The value was UTF-16LE text whose every code unit was
//                     below 0x80. Packed exactly like 7-bit ASCII, one 7-bit
//                     code per code unit; each unpacks to the code unit's two
//                     bytes (code, 0).
//   3  XPRESS         bytes 1-2: uncompressed size, little-endian (the engine
//                     only compresses values of at most 65535 bytes this way);
//                     bytes 3..: an LZ77 stream of the "plain" XPRESS kind,
//                     described at decompressXpress below.
//   4  scrubbed       The bytes were wiped when the value was deleted; there
//                     is no value to recover.
//   5  XPRESS9        Not supported by this reader.
//   6  XPRESS10       Not supported by this reader.
//
// Every scheme this reader cannot decode, and every stream that does not
// decode to exactly the size it promises, gives JET_errDecompressionFailed,
// the status the engine itself uses for both. Output never exceeds what the
// header promises: 65535 bytes for XPRESS, 16/7 of the input for the 7-bit
// schemes.
#include "ese/compression.h"

#include <cstdint>
#include <limits>

namespace ese {

namespace {

constexpr unsigned kScheme7BitAscii = 1;
constexpr unsigned kScheme7BitUnicode = 2;
constexpr unsigned kSchemeXpress = 3;

// Bounds-checked little-endian reads from the compressed bytes. Each returns
// false, reading nothing, when fewer than the needed bytes remain.
class StreamReader {
 public:
  explicit StreamReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

  std::size_t position() const { return pos_; }
  bool atEnd() const { return pos_ == bytes_.size(); }

  bool readU8(std::uint32_t& value) { return readLittleEndian(1, value); }
  bool readU16(std::uint32_t& value) { return readLittleEndian(2, value); }
  bool readU32(std::uint32_t& value) { return readLittleEndian(4, value); }

  // The byte at an earlier position (already consumed, so known in range).
  std::uint32_t byteAt(std::size_t position) const {
    return std::to_integer<std::uint32_t>(bytes_[position]);
  }

 private:
  bool readLittleEndian(std::size_t count, std::uint32_t& value) {
    if (bytes_.size() - pos_ < count) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
      value |= std::to_integer<std::uint32_t>(bytes_[pos_ + i]) << (8 * i);
    }
    pos_ += count;
    return true;
  }

  std::span<const std::byte> bytes_;
  std::size_t pos_ = 0;
};

// Unpacks the 7-bit codes of the two 7-bit schemes. `bytes_per_code` is 1
// for ASCII and 2 for UTF-16 (the high byte of each code unit is zero).
JET_ERR decompressSevenBit(std::span<const std::byte> stored, std::size_t bytes_per_code,
                           std::vector<std::byte>& out) {
  // A header byte and at least one byte of codes.
  if (stored.size() < 2) return JET_errDecompressionFailed;
  const std::size_t used_in_last = (std::to_integer<std::size_t>(stored[0]) & 0x7) + 1;
  const std::size_t bit_count = (stored.size() - 2) * 8 + used_in_last;
  if (bit_count % 7 != 0) return JET_errDecompressionFailed;
  const std::size_t code_count = bit_count / 7;

  out.resize(code_count * bytes_per_code);
  std::byte* dst = out.data();
  std::uint32_t bits = 0;   // pending bits, least significant first
  unsigned pending = 0;     // how many bits of `bits` are valid
  std::size_t next = 1;     // next stored byte to load
  for (std::size_t i = 0; i < code_count; ++i) {
    if (pending < 7) {
      // bit_count fixes code_count so that this load stays within `stored`.
      bits |= std::to_integer<std::uint32_t>(stored[next++]) << pending;
      pending += 8;
    }
    *dst++ = static_cast<std::byte>(bits & 0x7f);
    if (bytes_per_code == 2) *dst++ = std::byte{0};
    bits >>= 7;
    pending -= 7;
  }
  return JET_errSuccess;
}

// Decodes the LZ77 stream of the XPRESS scheme into exactly `size` bytes.
//
// The stream is a sequence of 32-bit little-endian flag words, each followed
// by the items it describes. The flag bits are taken from the most
// significant down; a clear bit is a literal (one byte copied to the
// output), a set bit is a match:
//
//   16-bit little-endian word w: offset = (w >> 3) + 1, length code = w & 7.
//   Length code 7 means "longer": the next length comes from a half byte.
//   Half bytes are shared: the first long match reads a new byte and uses its
//   low four bits; the next long match uses the high four bits of that same
//   byte. A half byte of 15 means "longer still": one more byte follows,
//   added to 15; a byte of 255 means a 16-bit length follows (and, if that is
//   0, a 32-bit one), which replaces the sum and includes the 15 + 7 already
//   counted.
//   The match length is the decoded value + 3; the bytes are copied one at a
//   time from `offset` bytes back in the output, so a match may overlap the
//   bytes it produces (a run).
//
// Decoding stops when the output holds `size` bytes; a match that runs past
// that point is cut there, as the engine does. Running out of input before,
// or a match reaching back before the start of the output, is corruption.
JET_ERR decompressXpress(std::span<const std::byte> stream, std::size_t size,
                         std::vector<std::byte>& out) {
  constexpr std::size_t kNoHalfByte = std::numeric_limits<std::size_t>::max();
  out.resize(size);
  std::byte* const begin = out.data();
  std::size_t written = 0;
  StreamReader in(stream);
  std::uint32_t flags = 0;
  unsigned flags_left = 0;
  std::size_t half_byte_at = kNoHalfByte;

  while (written < size) {
    if (flags_left == 0) {
      if (!in.readU32(flags)) return JET_errDecompressionFailed;
      flags_left = 32;
    }
    --flags_left;
    if (((flags >> flags_left) & 1) == 0) {
      std::uint32_t literal = 0;
      if (!in.readU8(literal)) return JET_errDecompressionFailed;
      begin[written++] = static_cast<std::byte>(literal);
      continue;
    }

    std::uint32_t word = 0;
    if (!in.readU16(word)) return JET_errDecompressionFailed;
    const std::size_t offset = (word >> 3) + 1;
    std::size_t length = word & 7;
    if (length == 7) {
      if (half_byte_at == kNoHalfByte) {
        half_byte_at = in.position();
        std::uint32_t byte = 0;
        if (!in.readU8(byte)) return JET_errDecompressionFailed;
        length = byte & 0xf;
      } else {
        length = in.byteAt(half_byte_at) >> 4;
        half_byte_at = kNoHalfByte;
      }
      if (length == 15) {
        std::uint32_t extra = 0;
        if (!in.readU8(extra)) return JET_errDecompressionFailed;
        length = extra;
        if (length == 255) {
          if (!in.readU16(extra)) return JET_errDecompressionFailed;
          if (extra == 0 && !in.readU32(extra)) return JET_errDecompressionFailed;
          if (extra < 15 + 7) return JET_errDecompressionFailed;
          length = std::size_t{extra} - (15 + 7);
        }
        length += 15;
      }
      length += 7;
    }
    length += 3;

    if (offset > written) return JET_errDecompressionFailed;
    const std::size_t room = size - written;
    if (length > room) length = room;
    const std::byte* from = begin + (written - offset);
    std::byte* to = begin + written;
    for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    written += length;
  }
  return JET_errSuccess;
}

}  // namespace

JET_ERR decompressValue(std::span<const std::byte> stored, std::vector<std::byte>& out) {
  out.clear();
  if (stored.empty()) return JET_errDecompressionFailed;
  JET_ERR err = JET_errDecompressionFailed;
  switch (std::to_integer<unsigned>(stored[0]) >> 3) {
    case kScheme7BitAscii:
      err = decompressSevenBit(stored, 1, out);
      break;
    case kScheme7BitUnicode:
      err = decompressSevenBit(stored, 2, out);
      break;
    case kSchemeXpress: {
      if (stored.size() < 3) break;
      const std::size_t size = std::to_integer<std::size_t>(stored[1]) |
                               (std::to_integer<std::size_t>(stored[2]) << 8);
      err = decompressXpress(stored.subspan(3), size, out);
      break;
    }
    default:
      // Scrubbed values, XPRESS9, XPRESS10 and numbers no engine writes.
      break;
  }
  if (err != JET_errSuccess) out.clear();
  return err;
}

std::size_t decompressedSizeLimit(std::span<const std::byte> stored) {
  if (stored.empty()) return 0;
  switch (std::to_integer<unsigned>(stored[0]) >> 3) {
    case kScheme7BitAscii: return stored.size() * 8 / 7 + 1;
    case kScheme7BitUnicode: return 2 * (stored.size() * 8 / 7 + 1);
    case kSchemeXpress:
      if (stored.size() < 3) return 0;
      return std::to_integer<std::size_t>(stored[1]) |
             (std::to_integer<std::size_t>(stored[2]) << 8);
    default: return 0;
  }
}

}  // namespace ese
