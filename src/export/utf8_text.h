// UTF-8 text as the exports meet it: the list's values are UTF-8, but they
// come from an untrusted file, so a value may hold malformed sequences or
// characters that an output format cannot carry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvadex {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point that starts at `pos`, advancing `pos` past it. A
// malformed, overlong or truncated sequence, an encoded surrogate or a value
// above U+10FFFF yields U+FFFD and advances by the one bad lead byte (or the
// lead byte and the continuation bytes that were valid up to the fault), so
// decoding always makes progress and never reads past the end.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

// Appends the UTF-8 encoding of a code point (which must be a scalar value).
void AppendUtf8(std::string& out, char32_t cp);

// Appends `text` to `out` with every malformed sequence, and every code point
// for which `keep` returns false, replaced by U+FFFD.
template <typename Keep>
void AppendSanitizedUtf8(std::string& out, std::string_view text, Keep keep) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    // Plain ASCII that is kept goes through without decoding.
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80 && keep(static_cast<char32_t>(byte))) {
      out.push_back(static_cast<char>(byte));
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    const char32_t cp = DecodeUtf8(text, pos);
    if (cp == kReplacementCharacter || !keep(cp)) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      out.append(text.substr(start, pos - start));
    }
  }
}

}  // namespace corvadex
