// SPDX-License-Identifier: Apache-2.0
#include "bytes.h"

#include "base/utf_codec.h"

namespace corvadex::esew {

Bytes utf16le(std::string_view s) {
  Bytes out;
  const std::u16string units = utf16FromUtf8(s);
  out.reserve(units.size() * 2);
  for (char16_t unit : units) putU16(out, unit);
  return out;
}

}  // namespace corvadex::esew
