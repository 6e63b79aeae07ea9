// SPDX-License-Identifier: Apache-2.0
#include "ese_dump.h"

#include <stdexcept>
#include <variant>

#include "base/utf_codec.h"
#include "file_io.h"

namespace corvadex::testing {

namespace {

// Just enough JSON for the dump: objects, arrays, strings (escapes decoded
// to UTF-8), numbers, true/false/null.
struct Json;
// Members as two lists of one length: a pair holding a Json would need the
// type complete before it is.
struct JsonObject {
  std::vector<std::string> keys;
  std::vector<Json> values;
};
using JsonArray = std::vector<Json>;
struct Json {
  std::variant<std::nullptr_t, bool, double, std::string, JsonArray, JsonObject> v;
  const Json& at(const std::string& key) const {
    const JsonObject& o = std::get<JsonObject>(v);
    for (std::size_t i = 0; i < o.keys.size(); ++i)
      if (o.keys[i] == key) return o.values[i];
    throw std::out_of_range("no key \"" + key + "\"");
  }
};

class Parser {
 public:
  Parser(const std::string& text, const std::string& origin) : s_(text), origin_(origin) {}
  Json parse() {
    Json j = value();
    ws();
    if (i_ != s_.size()) fail("trailing text");
    return j;
  }

 private:
  [[noreturn]] void fail(const char* what) {
    throw std::runtime_error(origin_ + ": " + std::string(what) + " at offset " + std::to_string(i_));
  }
  void ws() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool take(char c) {
    ws();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  std::string string() {
    if (!take('"')) fail("expected a string");
    std::string out;
    while (i_ < s_.size() && s_[i_] != '"') {
      if (s_[i_] == '\\') {
        if (++i_ >= s_.size()) fail("bad escape");
        const char e = s_[i_];
        if (e == 'u') {
          unsigned cp = codeUnit();
          if (0xD800 <= cp && cp < 0xDC00) {
            // A high surrogate: the low one follows as a second escape.
            if (s_.compare(i_ + 1, 2, "\\u") != 0) fail("lone surrogate");
            i_ += 2;
            const unsigned low = codeUnit();
            if (low < 0xDC00 || low >= 0xE000) fail("lone surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          appendUtf8(out, static_cast<char32_t>(cp));
        } else {
          out.push_back(e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == 'b' ? '\b' : e == 'f' ? '\f' : e);
        }
        ++i_;
      } else {
        out.push_back(s_[i_++]);
      }
    }
    if (i_ >= s_.size()) fail("unterminated string");
    ++i_;
    return out;
  }
  Json value() {
    ws();
    if (i_ >= s_.size()) fail("unexpected end");
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      JsonObject o;
      if (take('}')) return {o};
      do {
        std::string k = string();
        if (!take(':')) fail("expected :");
        o.keys.push_back(std::move(k));
        o.values.push_back(value());
      } while (take(','));
      if (!take('}')) fail("expected }");
      return {o};
    }
    if (c == '[') {
      ++i_;
      JsonArray a;
      if (take(']')) return {a};
      do a.push_back(value());
      while (take(','));
      if (!take(']')) fail("expected ]");
      return {a};
    }
    if (c == '"') return {string()};
    if (s_.compare(i_, 4, "null") == 0) return i_ += 4, Json{nullptr};
    if (s_.compare(i_, 4, "true") == 0) return i_ += 4, Json{true};
    if (s_.compare(i_, 5, "false") == 0) return i_ += 5, Json{false};
    std::size_t used = 0;
    double d = 0;
    try {
      d = std::stod(s_.substr(i_, 32), &used);
    } catch (const std::logic_error&) {
      fail("bad number");
    }
    i_ += used;
    return {d};
  }

  // The four hex digits of a \u escape; leaves i_ on the last of them.
  unsigned codeUnit() {
    if (i_ + 4 >= s_.size()) fail("bad escape");
    unsigned cp = 0;
    for (std::size_t k = 1; k <= 4; ++k) {
      const char h = s_[i_ + k];
      const int d = h >= '0' && h <= '9'   ? h - '0'
                    : h >= 'a' && h <= 'f' ? h - 'a' + 10
                    : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                           : -1;
      if (d < 0) fail("bad escape");
      cp = cp * 16 + static_cast<unsigned>(d);
    }
    i_ += 4;
    return cp;
  }
  const std::string& s_;
  const std::string& origin_;
  std::size_t i_ = 0;
};

}  // namespace

Dump readDump(const std::string& path) { return parseDump(readFile(path), path); }

Dump parseDump(const std::string& text, const std::string& origin) {
  try {
    const Json root = Parser(text, origin).parse();
    auto number = [](const Json& j) { return static_cast<unsigned>(std::get<double>(j.v)); };
    Dump dump;
    dump.pageSize = number(root.at("page_size"));
    for (const Json& t : std::get<JsonArray>(root.at("tables").v)) {
      DumpTable table;
      table.name = std::get<std::string>(t.at("name").v);
      for (const Json& c : std::get<JsonArray>(t.at("columns").v)) {
        DumpColumn& column = table.columns.emplace_back();
        column.id = number(c.at("id"));
        column.name = std::get<std::string>(c.at("name").v);
        column.type = number(c.at("type"));
        if (!std::holds_alternative<std::nullptr_t>(c.at("codepage").v))
          column.codepage = number(c.at("codepage"));
      }
      for (const Json& r : std::get<JsonArray>(t.at("rows").v)) {
        DumpRow& row = table.rows.emplace_back();
        const JsonObject& members = std::get<JsonObject>(r.v);
        for (std::size_t m = 0; m < members.keys.size(); ++m) {
          const std::string& column = members.keys[m];
          const Json& value = members.values[m];
          if (std::holds_alternative<std::nullptr_t>(value.v)) {
            row[column] = std::nullopt;
            continue;
          }
          std::vector<std::string> values;
          for (const Json& h : std::get<JsonArray>(value.v))
            values.push_back(std::get<std::string>(h.v));
          row[column] = std::move(values);
        }
      }
      dump.tables.push_back(std::move(table));
    }
    return dump;
  } catch (const std::bad_variant_access&) {
    throw std::runtime_error(origin + ": a value of the wrong kind where the dump needs another");
  } catch (const std::out_of_range& e) {
    throw std::runtime_error(origin + ": " + e.what());
  }
}

std::vector<unsigned char> fromHex(const std::string& hex) {
  if (hex.size() % 2) throw std::runtime_error("odd hex string");
  std::vector<unsigned char> out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<unsigned char>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

}  // namespace corvadex::testing
