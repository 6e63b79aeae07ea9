// SPDX-License-Identifier: Apache-2.0
#include "contacts/row_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/small_copy.h"
#include "contacts/contact_columns.h"

namespace corvadex {

namespace {

#if !defined(__SSE2__)
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

// Non-zero when one of the eight bytes of `word` equals `c`.
constexpr std::uint64_t hasByte(std::uint64_t word, unsigned char c) {
  const std::uint64_t x = word ^ (kOnes * c);
  return (x - kOnes) & ~x & kHighs;
}

// The bytes of `word` that need escaping, as the high bit of each such
// byte; above the lowest one the marks may be wrong, so only the lowest
// is used.
constexpr std::uint64_t specialBytes(std::uint64_t word) {
  return hasByte(word, '\t') | hasByte(word, '\n') | hasByte(word, '\r') | hasByte(word, '\\');
}
#endif

// The index of the first byte at or after `from` that needs escaping, or
// the value's size. Most values have none and are short: whole blocks are
// looked at, and the last, partial one again as the block that ends with
// the value, its bytes before `from` left out.
std::size_t firstSpecial(std::string_view value, std::size_t from) {
  const char* const s = value.data();
  const std::size_t n = value.size();
  std::size_t i = from;
#if defined(__SSE2__)
  // Sixteen bytes per step where the processor has SSE2 (every x86-64 has);
  // a shorter value as its first eight bytes and its last eight.
  const auto specials = [](__m128i bytes) {
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
    return static_cast<unsigned>(_mm_movemask_epi8(special));
  };
  const auto block = [s](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
  };
  const auto half = [s](std::size_t at) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + at));
  };
  const auto first = [](unsigned mask, std::size_t at, std::size_t none) {
    return mask != 0 ? at + static_cast<std::size_t>(std::countr_zero(mask)) : none;
  };
  if (n >= 16) {
    for (; i + 16 <= n; i += 16) {
      if (const unsigned m = specials(block(i)); m != 0) return first(m, i, n);
    }
    return i == n ? n : first(specials(block(n - 16)) >> (i - (n - 16)), i, n);
  }
  if (n - i >= 8) {
    const unsigned m = specials(_mm_unpacklo_epi64(half(i), half(n - 8)));
    return (m & 0xFF) != 0 ? first(m & 0xFF, i, n) : first(m >> 8, n - 8, n);
  }
  if (n >= 8) return i == n ? n : first(specials(half(n - 8)) >> (i - (n - 8)) & 0xFF, i, n);
  if (n - i >= 4) {
    // Four bytes from `i` and the last four, side by side.
    std::uint32_t head, tail;
    std::memcpy(&head, s + i, 4);
    std::memcpy(&tail, s + n - 4, 4);
    const unsigned m = specials(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(head)),
                                                   _mm_cvtsi32_si128(static_cast<int>(tail))));
    return (m & 0xF) != 0 ? first(m & 0xF, i, n) : first((m >> 4) & 0xF, n - 4, n);
  }
#else
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s + i, 8);
    if (const std::uint64_t m = specialBytes(word); m != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(m)) / 8;
    }
  }
#endif
  for (; i < n; ++i) {
    const char c = s[i];
    if (c == '\t' || c == '\n' || c == '\r' || c == '\\') return i;
  }
  return n;
}

// Writes `value` at `p` with the four characters escaped, given where the
// first of them is (firstSpecial); returns the end. There must be room for
// twice the value.
[[gnu::always_inline]] inline char* putEscaped(std::string_view value, std::size_t first, char* p) {
  std::size_t start = 0;
  for (std::size_t i = first; i < value.size(); i = firstSpecial(value, i + 1)) {
    base::copySmall(p, value.data() + start, i - start);
    p += i - start;
    *p++ = '\\';
    switch (value[i]) {
      case '\t': *p++ = 't'; break;
      case '\n': *p++ = 'n'; break;
      case '\r': *p++ = 'r'; break;
      default: *p++ = '\\'; break;
    }
    start = i + 1;
  }
  base::copySmall(p, value.data() + start, value.size() - start);
  return p + (value.size() - start);
}

}  // namespace

void appendEscaped(std::string_view value, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + 2 * value.size());
  out.resize(static_cast<std::size_t>(putEscaped(value, firstSpecial(value, 0), out.data() + start) -
                                      out.data()));
}

namespace {

// The slot of each column, in column order.
constexpr std::array<std::size_t, kContactColumns.size()> kColumnSlots = [] {
  std::array<std::size_t, kContactColumns.size()> slots{};
  for (std::size_t i = 0; i < slots.size(); ++i) slots[i] = placeSlot(kContactColumns[i].place);
  return slots;
}();

// Most lines fit here; the line is then appended in one piece, and the
// string is not first filled with zeros for its worst case.
constexpr std::size_t kLineBuffer = 16 << 10;

}  // namespace

void appendRowLine(const ContactRow& row, std::string& out) {
  ContactRow::SlotTexts slots;
  row.texts(slots);
  // Room for the worst case: the values that hold a character to escape
  // counted twice, the tabs and the newline.
  std::array<std::size_t, kColumnSlots.size()> first;  // each value's first special byte
  std::size_t most = kColumnSlots.size();
  for (std::size_t i = 0; i < kColumnSlots.size(); ++i) {
    const std::string_view value = slots[kColumnSlots[i]];
    first[i] = firstSpecial(value, 0);
    most += first[i] == value.size() ? value.size() : 2 * value.size();
  }
  const auto write = [&](char* p) {
    for (std::size_t i = 0; i < kColumnSlots.size(); ++i) {
      if (i != 0) *p++ = '\t';
      p = putEscaped(slots[kColumnSlots[i]], first[i], p);
    }
    *p++ = '\n';
    return p;
  };
  if (most <= kLineBuffer) {
    char line[kLineBuffer];
    out.append(line, static_cast<std::size_t>(write(line) - line));
    return;
  }
  const std::size_t start = out.size();
  out.resize(start + most);
  out.resize(static_cast<std::size_t>(write(out.data() + start) - out.data()));
}

}  // namespace corvadex
