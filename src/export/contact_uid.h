// SPDX-License-Identifier: Apache-2.0
// The identifier an exported contact carries (vCard UID, file name of a
// one-card file): a name-based UUID, version 5 (RFC 4122, section 4.3),
// from the database's signature and the contact's primary key. The same
// database exported twice gives the same identifiers, so an address book
// that merges by UID updates its contacts instead of adding them again;
// another database gives other identifiers.
#pragma once

#include <string>
#include <string_view>

namespace corvadex {

// "xxxxxxxx-xxxx-5xxx-yxxx-xxxxxxxxxxxx" in lower-case hexadecimal.
std::string contactUid(std::string_view databaseIdentity, std::string_view recordKey);
// The same, appended to `out`.
void appendContactUid(std::string& out, std::string_view databaseIdentity, std::string_view recordKey);

// The version 5 UUID of `name` in the namespace `space` (16 bytes).
std::string nameBasedUuid(std::string_view space, std::string_view name);

}  // namespace corvadex
