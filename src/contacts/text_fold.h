// SPDX-License-Identifier: Apache-2.0
// Folding text for a find that ignores case and accents: "Sørensen",
// "SORENSEN" and "sorensen" all fold to "sorensen".
//
// Works on UTF-8. Latin letters lose their case and their diacritics (a
// letter with an accent becomes its base letter; æ, ø, ß, œ, þ and the like
// become their usual Latin spelling), combining accents are dropped, Greek
// and Cyrillic capitals become small letters; everything else is kept as it
// is. Invalid UTF-8 bytes are kept unchanged, so folding never fails.
#pragma once

#include <string>
#include <string_view>

namespace corvadex {

// Appends the folded form of `text` to `out`.
void appendFolded(std::string_view text, std::string& out);

inline std::string folded(std::string_view text) {
  std::string out;
  appendFolded(text, out);
  return out;
}

}  // namespace corvadex
