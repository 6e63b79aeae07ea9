#include "expected_dump.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <variant>

namespace corvadex::testing {

namespace {

// Just enough JSON for the dump: objects, arrays, strings without escapes
// beyond \" and \\, numbers, true/false/null.
struct Json;
using JsonObject = std::vector<std::pair<std::string, Json>>;
using JsonArray = std::vector<Json>;
struct Json {
  std::variant<std::nullptr_t, bool, double, std::string, JsonArray, JsonObject> v;
  const Json& at(const std::string& key) const {
    for (const auto& [k, val] : std::get<JsonObject>(v))
      if (k == key) return val;
    throw std::runtime_error("dump: no key " + key);
  }
};

class Parser {
 public:
  explicit Parser(std::string text) : s_(std::move(text)) {}
  Json parse() {
    Json j = value();
    ws();
    if (i_ != s_.size()) fail("trailing text");
    return j;
  }

 private:
  [[noreturn]] void fail(const char* what) {
    throw std::runtime_error("dump: " + std::string(what) + " at " + std::to_string(i_));
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
          if (i_ + 4 >= s_.size()) fail("bad escape");
          const unsigned cp = static_cast<unsigned>(std::stoul(s_.substr(i_ + 1, 4), nullptr, 16));
          if (cp >= 0x80) fail("non-ASCII escape");
          out.push_back(static_cast<char>(cp));
          i_ += 4;
        } else {
          out.push_back(e == 'n' ? '\n' : e == 't' ? '\t' : e);
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
        o.emplace_back(std::move(k), value());
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
    const double d = std::stod(s_.substr(i_, 32), &used);
    i_ += used;
    return {d};
  }

  std::string s_;
  std::size_t i_ = 0;
};

}  // namespace

Dump ReadDump(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  const Json root = Parser(text.str()).parse();
  Dump dump;
  dump.pageSize = static_cast<unsigned>(std::get<double>(root.at("page_size").v));
  for (const Json& t : std::get<JsonArray>(root.at("tables").v)) {
    DumpTable table;
    table.name = std::get<std::string>(t.at("name").v);
    for (const Json& r : std::get<JsonArray>(t.at("rows").v)) {
      auto& row = table.rows.emplace_back();
      for (const auto& [column, value] : std::get<JsonObject>(r.v)) {
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
}

std::vector<unsigned char> FromHex(const std::string& hex) {
  if (hex.size() % 2) throw std::runtime_error("odd hex string");
  std::vector<unsigned char> out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<unsigned char>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

}  // namespace corvadex::testing
