// SPDX-License-Identifier: Apache-2.0
#include "export/contact_uid.h"

#include "export/sha1.h"

namespace corvadex {

namespace {

// The namespace of Corvadex's contact identifiers, chosen at random once:
// 3c9e8a52-1f4d-4b6e-8d27-5a0c91e6f4b3.
constexpr char kContactNamespace[16] = {'\x3c', '\x9e', '\x8a', '\x52', '\x1f', '\x4d', '\x4b', '\x6e',
                                        '\x8d', '\x27', '\x5a', '\x0c', '\x91', '\xe6', '\xf4', '\xb3'};

// The digest as a version 5 UUID in its text form.
void appendUuid(std::string& out, Sha1::Digest d) {
  d[6] = static_cast<std::uint8_t>((d[6] & 0x0F) | 0x50);  // version 5
  d[8] = static_cast<std::uint8_t>((d[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  static constexpr char kDigits[] = "0123456789abcdef";
  char text[36];
  char* p = text;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) *p++ = '-';
    *p++ = kDigits[d[i] >> 4];
    *p++ = kDigits[d[i] & 0x0F];
  }
  out.append(text, sizeof text);
}

}  // namespace

std::string nameBasedUuid(std::string_view space, std::string_view name) {
  Sha1 sha;
  sha.update(space);
  sha.update(name);
  std::string text;
  text.reserve(36);
  appendUuid(text, sha.finish());
  return text;
}

void appendContactUid(std::string& out, std::string_view databaseIdentity, std::string_view recordKey) {
  // The name is the signature followed by the key. The signature has a
  // fixed length, so signature and key cannot run into each other
  // ambiguously.
  Sha1 sha;
  sha.update(std::string_view(kContactNamespace, sizeof kContactNamespace));
  sha.update(databaseIdentity);
  sha.update(recordKey);
  appendUuid(out, sha.finish());
}

std::string contactUid(std::string_view databaseIdentity, std::string_view recordKey) {
  std::string text;
  text.reserve(36);
  appendContactUid(text, databaseIdentity, recordKey);
  return text;
}

}  // namespace corvadex
