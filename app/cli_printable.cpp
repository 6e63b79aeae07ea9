// SPDX-License-Identifier: Apache-2.0
#include "cli_printable.h"

#include <cstdio>

#include "base/file_status.h"
#include "base/hex.h"
#include "base/utf_codec.h"

namespace corvadex::cli {

namespace {
void appendEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  appendHexByte(out, byte);
}
}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte == '\\') {
      out += "\\\\";
      ++pos;
    } else if (byte < 0x20 || byte == 0x7f) {
      appendEscape(out, byte);
      ++pos;
    } else if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++pos;
    } else {
      const std::size_t start = pos;
      const char32_t cp = decodeUtf8(text, pos);
      const std::string_view sequence = text.substr(start, pos - start);
      // A decoded U+FFFD is malformed input unless it was spelled out.
      const bool malformed = cp == kReplacementCharacter && sequence != "\xEF\xBF\xBD";
      if (malformed || (cp >= 0x80 && cp < 0xa0)) {
        for (char c : sequence) appendEscape(out, static_cast<unsigned char>(c));
      } else {
        out.append(sequence);
      }
    }
  }
  return out;
}

bool refuseNonRegularFile(const std::string& path) {
  if (fileKind(path) != FileKind::Other) return true;
  std::fprintf(stderr, "corvadex-cli: %s: not a regular file\n", printable(path).c_str());
  return false;
}

}  // namespace corvadex::cli
