// SPDX-License-Identifier: Apache-2.0
// The pieces of vCard text (RFC 2426 for 3.0, RFC 6350 for 4.0) that the
// vCard export is made of: escaped values, folded content lines and dates.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvadex {

// What a value's semicolons get. A semicolon separates the fields of a
// compound value (N, ADR, ORG), so there it always takes a backslash; so it
// does everywhere in vCard 3.0 (RFC 2426). Elsewhere a 4.0 card (RFC 6350)
// may leave it bare, and Thunderbird's address book keeps "\;" in a 4.0
// text value as two characters, so a 4.0 writer leaves it bare.
enum class Semicolons { Escaped, Bare };

// Appends a text value (or one field of a compound value) escaped as vCard
// requires: backslash and comma get a backslash in front, a semicolon too
// unless `semicolons` is Bare, and each line break (CRLF, CR or LF) becomes
// "\n". Control characters other than tab, which a content line cannot
// hold, and malformed UTF-8 become U+FFFD.
void appendVcardText(std::string& out, std::string_view value, Semicolons semicolons = Semicolons::Escaped);

// Appends a URI value. The bytes a URI may not hold raw (controls, space and
// DEL) are percent-encoded and malformed UTF-8 becomes U+FFFD; backslash and
// comma still get a backslash, as vCard asks of every value for the sake of
// readers that split any value at them, and a semicolon too unless
// `semicolons` is Bare.
void appendVcardUri(std::string& out, std::string_view value, Semicolons semicolons = Semicolons::Escaped);

// Appends one content line, folded so that no line exceeds 75 octets before
// its CRLF: a longer line continues on lines that start with one space. A
// fold never splits a UTF-8 sequence.
void appendFoldedLine(std::string& out, std::string_view line);

// Ends the content line that starts at out[start] (it runs to the end of
// `out`): folds it as appendFoldedLine does and adds its CRLF. `scratch` is
// working space, used only for a line that must be folded.
void foldLastLine(std::string& out, std::size_t start, std::string& scratch);

// The date in the basic ISO 8601 form RFC 6350 uses ("19850412") for a text
// in the extended form "1985-04-12" naming a real calendar date; nothing for
// any other text.
std::optional<std::string> vcardDateFromIso(std::string_view text);

// Whether a text starts with a URI scheme ("xmpp:", "sip:", ...).
bool hasUriScheme(std::string_view text);

}  // namespace corvadex
