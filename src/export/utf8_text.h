// SPDX-License-Identifier: Apache-2.0
// UTF-8 text as the exports meet it: the list's values are UTF-8, but they
// come from an untrusted file, so a value may hold malformed sequences or
// characters that an output format cannot carry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/utf_codec.h"

namespace corvadex {

// Appends `text` to `out` with every malformed sequence, and every code point
// for which `keep` returns false, replaced by U+FFFD. Printable ASCII
// (U+0020 to U+007E) is always kept; `keep` is asked about everything else.
template <typename Keep>
void appendSanitizedUtf8(std::string& out, std::string_view text, Keep keep) {
  // Runs of bytes that pass unchanged are appended in one piece; most
  // values are one run.
  std::size_t pos = 0, run = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte >= 0x20 && byte < 0x7F) {
      ++pos;
      continue;
    }
    if (byte < 0x80) {
      if (keep(static_cast<char32_t>(byte))) {
        ++pos;
        continue;
      }
      out.append(text.substr(run, pos - run));
      appendUtf8(out, kReplacementCharacter);
      run = ++pos;
      continue;
    }
    const std::size_t start = pos;
    const char32_t cp = decodeUtf8(text, pos);
    if (cp == kReplacementCharacter || !keep(cp)) {
      // A genuine U+FFFD is rewritten as itself, which changes nothing.
      out.append(text.substr(run, start - run));
      appendUtf8(out, kReplacementCharacter);
      run = pos;
    }
  }
  out.append(text.substr(run));
}

}  // namespace corvadex
