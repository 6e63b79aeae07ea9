// SPDX-License-Identifier: Apache-2.0
// Deterministic, realistic values for synthetic contacts. Row n of a seed
// is always the same contact, whatever the number of rows asked for: each
// row draws from its own generator seeded with (seed, n).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvadex::esew {

// A splitmix64 stream: small, fast and the same on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  // Uniform in [0, n).
  std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
  bool chance(std::uint32_t percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

// One contact. Texts are UTF-8; nullopt is a null column, "" a zero-length
// value. Dates are days since 30 December 1899, the fraction the time of day.
struct Contact {
  std::vector<std::optional<std::string>> texts;  // by master-table column order; dates unused here
  std::optional<double> birthdate, anniversary;
  std::vector<std::string> categories;            // multi-valued
  std::optional<std::string> photo;               // binary
  std::optional<std::uint8_t> rating;
};

// Row n of the contact table. longShortText puts a 129-unit value into a
// short-text column of the first row.
Contact makeContact(std::uint64_t seed, std::uint64_t n, bool longShortText);

// Puts the characters vCard reserves (semicolon, comma, backslash), alone and
// in the runs a writer gets wrong ("\;", "\\", a backslash at the end),
// into the texts the vCard export writes: the nickname, job title and notes
// (plain text), the last name, company and home street (fields of compound
// values), the spouse and the home web site. Only values that are set and
// not empty change; row n always gets the same. A backslash never ends a
// family name or street, which another field follows: no writer can make
// ical.js (Thunderbird's vCard parser) read that whole.
void addVcardReservedCharacters(Contact& c, std::uint64_t n);

// Number of UTF-16 code units of a UTF-8 text.
std::size_t utf16Units(const std::string& utf8);

}  // namespace corvadex::esew
