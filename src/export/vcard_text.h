// SPDX-License-Identifier: Apache-2.0
// The pieces of vCard 4.0 (RFC 6350) text that the vCard export is made of:
// escaped values, folded content lines and dates.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvadex {

// Appends a text value (or one component of a structured value) escaped as
// RFC 6350 requires: backslash, comma and semicolon get a backslash in
// front, and each line break (CRLF, CR or LF) becomes "\n". Control
// characters other than tab, which a content line cannot hold, and malformed
// UTF-8 become U+FFFD.
void appendVcardText(std::string& out, std::string_view value);

// Appends a URI value. The bytes a URI may not hold raw (controls, space and
// DEL) are percent-encoded and malformed UTF-8 becomes U+FFFD; backslash,
// comma and semicolon still get a backslash, as RFC 6350 asks of every value
// for the sake of readers that split any value at them.
void appendVcardUri(std::string& out, std::string_view value);

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
