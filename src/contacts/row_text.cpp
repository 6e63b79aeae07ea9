// SPDX-License-Identifier: Apache-2.0
#include "contacts/row_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "contacts/contact_columns.h"

namespace corvadex {

namespace {

constexpr bool isSpecial(char c) { return c == '\t' || c == '\n' || c == '\r' || c == '\\'; }

// Writes `c`, one of the four, as its escape.
inline char* putEscape(char* p, char c) {
  *p++ = '\\';
  *p++ = c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
  return p;
}

// The `n` bytes at `s` at `p`, one at a time, the four characters escaped.
inline char* putEscapedBytes(const char* s, std::size_t n, char* p) {
  for (std::size_t i = 0; i < n; ++i) {
    if (isSpecial(s[i])) {
      p = putEscape(p, s[i]);
    } else {
      *p++ = s[i];
    }
  }
  return p;
}

#if defined(__SSE2__)
// The bytes of `bytes` that need escaping, as a bit each.
inline unsigned specials(__m128i bytes) {
  const __m128i special = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
  return static_cast<unsigned>(_mm_movemask_epi8(special));
}

// Fewer than sixteen bytes: most values. Looked at and copied as two
// overlapping halves, their first and last eight (or four) bytes; one
// that holds a character to escape, byte by byte.
inline char* putShortEscaped(const char* s, std::size_t n, char* p) {
  if (n >= 8) {
    const __m128i head = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
    const __m128i tail = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + n - 8));
    if (specials(_mm_unpacklo_epi64(head, tail)) != 0) return putEscapedBytes(s, n, p);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), head);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + n - 8), tail);
    return p + n;
  }
  if (n >= 4) {
    std::uint32_t head, tail;
    std::memcpy(&head, s, 4);
    std::memcpy(&tail, s + n - 4, 4);
    if (specials(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(head)),
                                    _mm_cvtsi32_si128(static_cast<int>(tail)))) != 0) {
      return putEscapedBytes(s, n, p);
    }
    std::memcpy(p, &head, 4);
    std::memcpy(p + n - 4, &tail, 4);
    return p + n;
  }
  return putEscapedBytes(s, n, p);
}
#endif

// Writes `value` at `p` with the four characters escaped; returns the end.
// There must be room for twice the value. Looking for the characters and
// copying are one pass: sixteen bytes are loaded, stored whatever they
// hold, and kept up to the first that needs escaping, where the next step
// starts after its escape.
[[gnu::always_inline]] inline char* putEscaped(std::string_view value, char* p) {
  const char* s = value.data();
  std::size_t n = value.size();
#if defined(__SSE2__)
  while (n >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), block);
    const unsigned m = specials(block);
    if (m == 0) {
      p += 16;
      s += 16;
      n -= 16;
      continue;
    }
    const auto k = static_cast<std::size_t>(std::countr_zero(m));
    p = putEscape(p + k, s[k]);
    s += k + 1;
    n -= k + 1;
  }
  return putShortEscaped(s, n, p);
#else
  return putEscapedBytes(s, n, p);
#endif
}

}  // namespace

void appendEscaped(std::string_view value, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + 2 * value.size());
  out.resize(static_cast<std::size_t>(putEscaped(value, out.data() + start) - out.data()));
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
  // Room for the worst case: every value's bytes counted twice, the tabs
  // and the newline.
  std::size_t most = kColumnSlots.size();
  for (std::size_t i = 0; i < kColumnSlots.size(); ++i) most += 2 * slots[kColumnSlots[i]].size();
  const auto write = [&](char* p) {
    for (std::size_t i = 0; i < kColumnSlots.size(); ++i) {
      if (i != 0) *p++ = '\t';
      p = putEscaped(slots[kColumnSlots[i]], p);
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
