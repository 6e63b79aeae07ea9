// SPDX-License-Identifier: Apache-2.0
#include "export/utf8_text.h"

namespace corvadex {

// UTF-8 sequences:
//   U+0000..U+007F     0xxxxxxx
//   U+0080..U+07FF     110xxxxx 10xxxxxx
//   U+0800..U+FFFF     1110xxxx 10xxxxxx 10xxxxxx   (not U+D800..U+DFFF)
//   U+10000..U+10FFFF  11110xxx 10xxxxxx 10xxxxxx 10xxxxxx
// The bounds on the second byte below rule out overlong forms, surrogates
// and values above U+10FFFF before any bits are assembled.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
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

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace corvadex
