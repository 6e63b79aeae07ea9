// SPDX-License-Identifier: Apache-2.0
#include "export/contact_uid.h"

#include "base/hex.h"
#include "export/sha1.h"

namespace corvadex {

namespace {

// The namespace of Corvadex's contact identifiers, chosen at random once:
// 3c9e8a52-1f4d-4b6e-8d27-5a0c91e6f4b3.
constexpr char kContactNamespace[16] = {'\x3c', '\x9e', '\x8a', '\x52', '\x1f', '\x4d', '\x4b', '\x6e',
                                        '\x8d', '\x27', '\x5a', '\x0c', '\x91', '\xe6', '\xf4', '\xb3'};

}  // namespace

std::string nameBasedUuid(std::string_view space, std::string_view name) {
  Sha1 sha;
  sha.update(space);
  sha.update(name);
  Sha1::Digest d = sha.finish();
  d[6] = static_cast<std::uint8_t>((d[6] & 0x0F) | 0x50);  // version 5
  d[8] = static_cast<std::uint8_t>((d[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  std::string text;
  text.reserve(36);
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    appendHexByte(text, d[i]);
  }
  return text;
}

std::string contactUid(std::string_view databaseIdentity, std::string_view recordKey) {
  // The signature has a fixed length, so signature and key cannot run into
  // each other ambiguously.
  std::string name;
  name.reserve(databaseIdentity.size() + recordKey.size());
  name.append(databaseIdentity).append(recordKey);
  return nameBasedUuid(std::string_view(kContactNamespace, sizeof kContactNamespace), name);
}

}  // namespace corvadex
