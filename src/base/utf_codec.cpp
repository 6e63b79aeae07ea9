// SPDX-License-Identifier: Apache-2.0
#include "base/utf_codec.h"

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvadex {

namespace {

constexpr bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Writes the UTF-8 form of a scalar value at `p`; returns the end.
inline char* putUtf8(char* p, std::uint32_t cp) {
  if (cp < 0x80) {
    *p++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *p++ = static_cast<char>(0xC0 | (cp >> 6));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *p++ = static_cast<char>(0xE0 | (cp >> 12));
    *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *p++ = static_cast<char>(0xF0 | (cp >> 18));
    *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return p;
}

// Writes the character that starts at unit `i` of `units` (which `unitAt`
// gives) and advances `i` past it: a surrogate pair makes one character, an
// unpaired surrogate U+FFFD.
template <typename UnitAt>
inline char* putCharacterFromUnits(char* p, std::size_t units, std::size_t& i, UnitAt unitAt) {
  std::uint32_t u = unitAt(i++);
  if (isHighSurrogate(u) && i < units && isLowSurrogate(unitAt(i))) {
    u = 0x10000 + ((u - 0xD800) << 10) + (unitAt(i++) - 0xDC00);
  } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
    u = kReplacementCharacter;
  }
  return putUtf8(p, u);
}

}  // namespace

// UTF-8 sequences:
//   U+0000..U+007F     0xxxxxxx
//   U+0080..U+07FF     110xxxxx 10xxxxxx
//   U+0800..U+FFFF     1110xxxx 10xxxxxx 10xxxxxx   (not U+D800..U+DFFF)
//   U+10000..U+10FFFF  11110xxx 10xxxxxx 10xxxxxx 10xxxxxx
// The bounds on the second byte below rule out overlong forms, surrogates
// and values above U+10FFFF before any bits are assembled.
char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(pos);
  ++pos;
  if (lead < 0x80) return lead;

  std::size_t extra = 0;
  char32_t cp = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacementCharacter;
  }

  for (std::size_t i = 0; i < extra; ++i) {
    if (pos >= text.size()) return kReplacementCharacter;
    const unsigned char next = at(pos);
    const unsigned char lo = i == 0 ? low : 0x80;
    const unsigned char hi = i == 0 ? high : 0xBF;
    if (next < lo || next > hi) return kReplacementCharacter;
    cp = (cp << 6) | (next & 0x3Fu);
    ++pos;
  }
  return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
  char bytes[4];
  out.append(bytes, static_cast<std::size_t>(putUtf8(bytes, cp) - bytes));
}

namespace {

// Writes the character that starts at unit `i` (not ASCII) and advances `i`
// past it: the two- and three-byte forms straight (putUtf8's tests for the
// other lengths cost this hot loop a few per cent), surrogates through the
// general path.
template <typename UnitAt>
inline char* putOtherCharacter(char* p, std::size_t units, std::size_t& i, UnitAt unitAt) {
  const std::uint32_t u = unitAt(i);
  if (u < 0x800) {
    p[0] = static_cast<char>(0xC0 | (u >> 6));
    p[1] = static_cast<char>(0x80 | (u & 0x3F));
    ++i;
    return p + 2;
  }
  if (u - 0xD800u >= 0x800u) {
    p[0] = static_cast<char>(0xE0 | (u >> 12));
    p[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    p[2] = static_cast<char>(0x80 | (u & 0x3F));
    ++i;
    return p + 3;
  }
  return putCharacterFromUnits(p, units, i, unitAt);
}

// The ASCII units among eight (or the low four) as two mask bits each.
#if defined(__SSE2__)
inline unsigned asciiUnits(__m128i units) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(
      _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128())));
}
#endif

// Writes the UTF-8 form of `units` UTF-16LE units at `p`, which has room
// for three bytes a unit; returns the end.
char* putUtf8FromUtf16Le(const unsigned char* bytes, std::size_t units, char* p) {
  const auto unitAt = [bytes](std::size_t i) {
    return static_cast<std::uint32_t>(bytes[2 * i]) | (static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8);
  };
  std::size_t i = 0;
#if defined(__SSE2__)
  // Eight units a step (every x86-64 processor has SSE2). The eight are
  // stored as bytes whatever they are; the ASCII ones before the first that
  // is not are kept, the characters from there to the next ASCII one are
  // written over the rest, and the next step starts after them. There is
  // room: three bytes for each unit left.
  while (i + 8 <= units) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * i));
    const unsigned ascii = asciiUnits(chunk);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(chunk, chunk));
    if (ascii == 0xFFFF) {
      p += 8;
      i += 8;
      continue;
    }
    const auto run = static_cast<std::size_t>(std::countr_one(ascii)) / 2;
    p += run;
    i += run;
    // The other characters one at a time, up to the next ASCII one: in a
    // word of another script the next eight would not be ASCII either.
    do {
      p = putOtherCharacter(p, units, i, unitAt);
    } while (i < units && unitAt(i) >= 0x80);
  }
  // Four ASCII units of the last seven at once.
  if (i + 4 <= units) {
    const __m128i chunk = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes + 2 * i));
    if ((asciiUnits(chunk) & 0xFF) == 0xFF) {
      const int four = _mm_cvtsi128_si32(_mm_packus_epi16(chunk, chunk));
      std::memcpy(p, &four, 4);
      p += 4;
      i += 4;
    }
  }
#endif
  while (i < units) {
    const std::uint32_t u = unitAt(i);
    if (u < 0x80) {
      *p++ = static_cast<char>(u);
      ++i;
    } else {
      p = putOtherCharacter(p, units, i, unitAt);
    }
  }
  return p;
}

}  // namespace

void appendUtf8FromUtf16Le(const unsigned char* bytes, std::size_t size, std::string& out) {
  // Through a buffer on the stack, a piece at a time, so that the string
  // grows by what is written and is never first filled with zeros three
  // times the text's length. A piece does not end inside a surrogate pair.
  constexpr std::size_t kPieceUnits = 256;
  char buffer[3 * kPieceUnits];
  std::size_t units = size / 2;
  while (units > 0) {
    std::size_t piece = units < kPieceUnits ? units : kPieceUnits;
    if (piece < units && isHighSurrogate(bytes[2 * piece - 2] | (bytes[2 * piece - 1] << 8))) {
      --piece;
    }
    out.append(buffer, static_cast<std::size_t>(putUtf8FromUtf16Le(bytes, piece, buffer) - buffer));
    bytes += 2 * piece;
    units -= piece;
  }
}

std::string utf8FromUtf16Le(const unsigned char* bytes, std::size_t size) {
  std::string out;
  appendUtf8FromUtf16Le(bytes, size, out);
  return out;
}

std::string utf8FromUtf16(std::u16string_view units) {
  // At most three bytes a unit (a pair of units makes four bytes).
  std::string out(units.size() * 3, '\0');
  char* p = out.data();
  const auto unitAt = [units](std::size_t i) { return static_cast<std::uint32_t>(units[i]); };
  for (std::size_t i = 0; i < units.size();) p = putCharacterFromUnits(p, units.size(), i, unitAt);
  out.resize(static_cast<std::size_t>(p - out.data()));
  return out;
}

std::u16string utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t cp = decodeUtf8(text, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

}  // namespace corvadex
