// SPDX-License-Identifier: Apache-2.0
#include "platform/wine_registry.h"

#include "platform/regular_file.h"

#include <iterator>
#include <vector>

#include "base/hex.h"
#include "base/utf_codec.h"

namespace corvadex::platform {

namespace {

// Reads an escaped string starting at text[pos] up to the unescaped
// `terminator`, leaving pos just after it. Returns the UTF-16 code units, or
// none when the terminator never comes.
std::optional<std::u16string> readEscaped(std::string_view text, std::size_t& pos,
                                          char terminator) {
  std::u16string out;
  std::size_t runStart = pos;  // start of the current run of plain bytes
  auto flushRun = [&](std::size_t end) {
    out += utf16FromUtf8(text.substr(runStart, end - runStart));
  };
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == terminator) {
      flushRun(pos);
      ++pos;
      return out;
    }
    if (c != '\\') {
      ++pos;
      continue;
    }
    flushRun(pos);
    ++pos;
    if (pos >= text.size()) return std::nullopt;
    const char e = text[pos++];
    switch (e) {
      case 'a': out += u'\a'; break;
      case 'b': out += u'\b'; break;
      case 'e': out += u'\x1b'; break;
      case 'f': out += u'\f'; break;
      case 'n': out += u'\n'; break;
      case 'r': out += u'\r'; break;
      case 't': out += u'\t'; break;
      case 'v': out += u'\v'; break;
      case 'x': {
        unsigned unit = 0;
        int digits = 0;
        while (digits < 4 && pos < text.size() && hexDigitValue(text[pos]) >= 0) {
          unit = unit * 16 + static_cast<unsigned>(hexDigitValue(text[pos++]));
          ++digits;
        }
        if (digits == 0) {
          out += u'x';
        } else {
          out += static_cast<char16_t>(unit);
        }
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned unit = static_cast<unsigned>(e - '0');
          for (int digits = 1; digits < 3 && pos < text.size() && text[pos] >= '0' &&
                               text[pos] <= '7';
               ++digits) {
            unit = unit * 8 + static_cast<unsigned>(text[pos++] - '0');
          }
          out += static_cast<char16_t>(unit);
        } else {
          // \\, \", \[ and any other escaped byte stand for themselves.
          out += utf16FromUtf8(std::string_view(&text[pos - 1], 1));
        }
    }
    runStart = pos;
  }
  return std::nullopt;
}

void skipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
}

std::vector<std::byte> utf16LeWithNul(const std::u16string& units) {
  std::vector<std::byte> data;
  data.reserve(units.size() * 2 + 2);
  for (char16_t u : units) {
    data.push_back(static_cast<std::byte>(u & 0xFF));
    data.push_back(static_cast<std::byte>(u >> 8));
  }
  data.push_back(std::byte{0});
  data.push_back(std::byte{0});
  return data;
}

// Parses comma-separated hex bytes ("01,ab,ff"); blanks are allowed between
// them. None when anything else is found.
std::optional<std::vector<std::byte>> readHexBytes(std::string_view text) {
  std::vector<std::byte> data;
  std::size_t pos = 0;
  skipBlanks(text, pos);
  while (pos < text.size()) {
    int value = 0;
    int digits = 0;
    while (pos < text.size() && hexDigitValue(text[pos]) >= 0) {
      value = value * 16 + hexDigitValue(text[pos++]);
      if (++digits > 2) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    data.push_back(static_cast<std::byte>(value));
    skipBlanks(text, pos);
    if (pos == text.size()) break;
    if (text[pos] != ',') return std::nullopt;
    ++pos;
    skipBlanks(text, pos);
  }
  return data;
}

// Parses the data after "name=". None when it is not understood.
std::optional<RegistryValue> readData(std::string_view text) {
  RegistryValue value;
  std::size_t pos = 0;
  skipBlanks(text, pos);
  std::string_view rest = text.substr(pos);
  if (rest.starts_with('"')) {
    ++pos;
    auto units = readEscaped(text, pos, '"');
    if (!units) return std::nullopt;
    value.type = REG_SZ;
    value.data = utf16LeWithNul(*units);
    return value;
  }
  if (rest.starts_with("str(")) {
    // str(N):"text"
    std::size_t close = rest.find("):\"");
    if (close == std::string_view::npos || close <= 4) return std::nullopt;
    std::uint32_t type = 0;
    for (char c : rest.substr(4, close - 4)) {
      if (hexDigitValue(c) < 0 || type > 0x0FFFFFFF) return std::nullopt;
      type = type * 16 + static_cast<std::uint32_t>(hexDigitValue(c));
    }
    pos += close + 3;
    auto units = readEscaped(text, pos, '"');
    if (!units) return std::nullopt;
    value.type = type;
    value.data = utf16LeWithNul(*units);
    return value;
  }
  if (rest.starts_with("dword:")) {
    std::string_view digits = rest.substr(6);
    while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t')) {
      digits.remove_suffix(1);
    }
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t n = 0;
    for (char c : digits) {
      if (hexDigitValue(c) < 0) return std::nullopt;
      n = n * 16 + static_cast<std::uint32_t>(hexDigitValue(c));
    }
    value.type = REG_DWORD;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::byte>(n >> (8 * i)));
    return value;
  }
  if (rest.starts_with("hex")) {
    std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view kind = rest.substr(0, colon);
    if (kind == "hex") {
      value.type = REG_BINARY;
    } else if (kind.size() > 5 && kind.starts_with("hex(") && kind.ends_with(')')) {
      std::uint32_t type = 0;
      for (char c : kind.substr(4, kind.size() - 5)) {
        if (hexDigitValue(c) < 0 || type > 0x0FFFFFFF) return std::nullopt;
        type = type * 16 + static_cast<std::uint32_t>(hexDigitValue(c));
      }
      value.type = type;
    } else {
      return std::nullopt;
    }
    auto bytes = readHexBytes(rest.substr(colon + 1));
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
  }
  return std::nullopt;
}

// Splits the file into logical lines: a line whose last character is a
// backslash outside a quoted string continues on the next line, whose
// leading blanks are dropped. Only the hex forms are ever continued.
std::vector<std::string> logicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (continuing) {
      std::size_t lead = 0;
      while (lead < line.size() && (line[lead] == ' ' || line[lead] == '\t')) ++lead;
      line.remove_prefix(lead);
    }
    current += line;
    // A continued hex line ends "...,\"; a string's value never ends in a
    // lone backslash because its closing quote comes last.
    continuing = !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
    if (continuing) {
      current.pop_back();
    } else {
      lines.push_back(std::move(current));
      current.clear();
    }
    if (end == text.size()) break;
    pos = end + 1;
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

// The lower-case name of the key on a "[...]" line, or none when the line
// has no closing bracket. Most names are plain ASCII with "\\" between
// their parts and are folded in one pass; any other escape or byte takes
// the general way through UTF-16.
std::optional<std::string> keyName(std::string_view line) {
  std::string name;
  name.reserve(line.size());
  for (std::size_t at = 1; at < line.size(); ++at) {
    const char c = line[at];
    if (c == ']') return name;
    const bool plain = c != '\\' && static_cast<unsigned char>(c) < 0x80;
    if (plain) {
      name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    } else if (c == '\\' && at + 1 < line.size() && line[at + 1] == '\\') {
      name += '\\';
      ++at;
    } else {
      std::size_t from = 1;
      auto units = readEscaped(line, from, ']');
      if (!units) return std::nullopt;
      return asciiLower(utf8FromUtf16(*units));
    }
  }
  return std::nullopt;
}

}  // namespace

WineRegistryFile WineRegistryFile::parse(std::string text) {
  WineRegistryFile file;
  file.text_ = std::move(text);
  const std::string_view all = file.text_;
  file.keys_.reserve(all.size() / 128);  // a key with its values takes a few lines
  std::vector<Section>* sections = nullptr;
  bool seenKey = false;
  std::size_t pos = 0;
  while (pos < all.size()) {
    std::size_t end = all.find('\n', pos);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t next = end < all.size() ? end + 1 : end;
    if (line.starts_with('[')) {
      // A key line ends the section before it; its values follow it.
      if (sections != nullptr) sections->back().end = pos;
      seenKey = true;
      auto name = keyName(line);
      sections = name ? &file.keys_[*name] : nullptr;
      if (sections != nullptr) sections->push_back({next, all.size()});
    } else if (!seenKey) {
      if (line.starts_with(";; All keys relative to ")) {
        file.relativeTo_ = std::string(line.substr(24));
        for (std::size_t at = file.relativeTo_.find("\\\\"); at != std::string::npos;
             at = file.relativeTo_.find("\\\\", at + 1)) {
          file.relativeTo_.erase(at, 1);
        }
      } else if (line.starts_with("#arch=")) {
        file.arch_ = std::string(line.substr(6));
      }
    }
    pos = next;
  }
  return file;
}

std::optional<WineRegistryFile> WineRegistryFile::load(const std::string& path) {
  auto text = readRegularFile(path, kMaxFileSize);
  if (!text) return std::nullopt;
  return parse(std::move(*text));
}

bool WineRegistryFile::hasKey(std::string_view key) const {
  return keys_.contains(asciiLower(key));
}

std::optional<RegistryValue> WineRegistryFile::find(std::string_view key,
                                                     std::string_view name) const {
  auto sections = keys_.find(asciiLower(key));
  if (sections == keys_.end()) return std::nullopt;
  const std::string wanted = asciiLower(name);
  std::optional<RegistryValue> found;
  for (const Section& section : sections->second) {
    const std::string_view body = std::string_view(text_).substr(section.begin,
                                                                 section.end - section.begin);
    for (const std::string& line : logicalLines(body)) {
      std::string_view view = line;
      std::size_t at = 0;
      skipBlanks(view, at);
      view.remove_prefix(at);
      std::string valueName;
      at = 1;
      if (view.starts_with('@')) {
        // the key's unnamed value
      } else if (view.starts_with('"')) {
        auto escaped = readEscaped(view, at, '"');
        if (!escaped) continue;
        valueName = utf8FromUtf16(*escaped);
      } else {
        continue;  // a comment, an option or a damaged line
      }
      if (asciiLower(valueName) != wanted) continue;
      skipBlanks(view, at);
      if (at >= view.size() || view[at] != '=') continue;
      if (auto value = readData(view.substr(at + 1))) found = std::move(*value);
    }
  }
  return found;
}

}  // namespace corvadex::platform
