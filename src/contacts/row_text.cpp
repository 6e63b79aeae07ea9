// SPDX-License-Identifier: Apache-2.0
#include "contacts/row_text.h"

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "contacts/contact_columns.h"

namespace corvadex {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

// Non-zero when one of the eight bytes of `word` equals `c`.
constexpr std::uint64_t hasByte(std::uint64_t word, unsigned char c) {
  const std::uint64_t x = word ^ (kOnes * c);
  return (x - kOnes) & ~x & kHighs;
}

// The index of the first byte at or after `from` that needs escaping; most
// values have none, so eight bytes are looked at per step.
std::size_t firstSpecial(std::string_view value, std::size_t from) {
  std::size_t i = from;
#if defined(__SSE2__)
  // Sixteen bytes per step where the processor has SSE2 (every x86-64 has).
  for (; i + 16 <= value.size(); i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value.data() + i));
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
    if (_mm_movemask_epi8(special) != 0) break;
  }
#endif
  for (; i + 8 <= value.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, value.data() + i, 8);
    if (hasByte(word, '\t') | hasByte(word, '\n') | hasByte(word, '\r') | hasByte(word, '\\'))
      break;
  }
  for (; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\t' || c == '\n' || c == '\r' || c == '\\') return i;
  }
  return i;
}

}  // namespace

void appendEscaped(std::string_view value, std::string& out) {
  std::size_t start = 0;
  for (std::size_t i = firstSpecial(value, 0); i < value.size();
       i = firstSpecial(value, i + 1)) {
    char escaped;
    switch (value[i]) {
      case '\t': escaped = 't'; break;
      case '\n': escaped = 'n'; break;
      case '\r': escaped = 'r'; break;
      default: escaped = '\\'; break;
    }
    out.append(value, start, i - start);
    out.push_back('\\');
    out.push_back(escaped);
    start = i + 1;
  }
  out.append(value, start, std::string_view::npos);
}

void appendRowLine(const ContactRow& row, std::string& out) {
  for (std::size_t i = 0; i < kContactColumns.size(); ++i) {
    if (i != 0) out.push_back('\t');
    appendEscaped(row.Value(kContactColumns[i]), out);
  }
  out.push_back('\n');
}

}  // namespace corvadex
