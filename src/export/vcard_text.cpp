// SPDX-License-Identifier: Apache-2.0
#include "export/vcard_text.h"


#include "base/hex.h"
#include "export/utf8_text.h"

namespace corvadex {

namespace {

constexpr std::size_t kMaxLineOctets = 75;

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr auto keepAll = [](char32_t) { return true; };

// Text: backslash, comma, semicolon (unless bare) and line breaks are
// escaped; the controls a content line cannot hold (all but tab) become
// U+FFFD.
constexpr ByteKinds textSpecial(std::string_view reserved) {
  ByteKinds set = escapedBytes(reserved, true);
  set['\t'] = 0;
  return set;
}
constexpr ByteKinds kTextSpecial = textSpecial("\\,;");
constexpr ByteKinds kTextSpecialBareSemicolon = textSpecial("\\,");

constexpr auto escapeTextByte = [](std::string& out, std::string_view text, std::size_t i) -> std::size_t {
  switch (text[i]) {
    case '\\': out.append("\\\\"); break;
    case ',': out.append("\\,"); break;
    case ';': out.append("\\;"); break;
    case '\n': out.append("\\n"); break;
    case '\r':
      out.append("\\n");
      // CR LF is one line break.
      return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    default: out.append("\xEF\xBF\xBD"); break;
  }
  return 1;
};

// URI: controls, space and DEL percent-encoded; backslash, comma and
// semicolon (unless bare) escaped.
constexpr ByteKinds kUriSpecial = escapedBytes(" \\,;", true);
constexpr ByteKinds kUriSpecialBareSemicolon = escapedBytes(" \\,", true);

constexpr auto escapeUriByte = [](std::string& out, std::string_view text, std::size_t i) -> std::size_t {
  const auto byte = static_cast<unsigned char>(text[i]);
  if (byte <= 0x20 || byte == 0x7F) {
    out.push_back('%');
    appendHexByte(out, byte, HexCase::Upper);
  } else {
    out.push_back('\\');
    out.push_back(text[i]);
  }
  return 1;
};

}  // namespace

void appendVcardText(std::string& out, std::string_view value, Semicolons semicolons) {
  const ByteKinds& special = semicolons == Semicolons::Bare ? kTextSpecialBareSemicolon : kTextSpecial;
  appendEscapedUtf8(out, value, special, escapeTextByte, keepAll);
}

void appendVcardUri(std::string& out, std::string_view value, Semicolons semicolons) {
  const ByteKinds& special = semicolons == Semicolons::Bare ? kUriSpecialBareSemicolon : kUriSpecial;
  appendEscapedUtf8(out, value, special, escapeUriByte, keepAll);
}

void appendFoldedLine(std::string& out, std::string_view line) {
  std::size_t limit = kMaxLineOctets;
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && isContinuationByte(line[cut])) --cut;
    if (cut == 0) cut = limit;  // not UTF-8 at all: cut where the limit falls
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = kMaxLineOctets - 1;  // the leading space counts
  }
  out.append(line);
  out += "\r\n";
}

void foldLastLine(std::string& out, std::size_t start, std::string& scratch) {
  if (out.size() - start <= kMaxLineOctets) {
    out.append("\r\n");
    return;
  }
  scratch.assign(out, start, std::string::npos);
  out.resize(start);
  appendFoldedLine(out, scratch);
}

std::optional<std::string> vcardDateFromIso(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!isDigit(text[i])) return std::nullopt;
  const auto number = [&](std::size_t at, std::size_t digits) {
    int n = 0;
    for (std::size_t i = 0; i < digits; ++i) n = n * 10 + (text[at + i] - '0');
    return n;
  };
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  if (month < 1 || month > 12 || day < 1) return std::nullopt;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int monthDays = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  if (day > monthDays) return std::nullopt;
  std::string basic;
  basic.append(text.substr(0, 4)).append(text.substr(5, 2)).append(text.substr(8, 2));
  return basic;
}

bool hasUriScheme(std::string_view text) {
  // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
  const auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (text.empty() || !isAlpha(text[0])) return false;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ':') return i + 1 < text.size();
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

}  // namespace corvadex
