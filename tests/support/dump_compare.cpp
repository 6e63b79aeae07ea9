// SPDX-License-Identifier: Apache-2.0
#include "dump_compare.h"

#include <algorithm>
#include <map>

namespace corvadex::testing {

namespace {

bool isText(unsigned type) { return type == 10 || type == 12; }

std::string show(const std::optional<std::vector<std::string>>& value) {
  if (!value) return "null";
  std::string out = "[";
  for (const std::string& hex : *value) {
    if (out.size() > 1) out += ", ";
    out += hex.size() <= 64 ? hex : hex.substr(0, 64) + "... (" + std::to_string(hex.size() / 2) + " bytes)";
  }
  return out + "]";
}

std::string show(const std::optional<unsigned>& number) {
  return number ? std::to_string(*number) : "null";
}

std::vector<std::string> TableNames(const Dump& dump) {
  std::vector<std::string> names;
  for (const DumpTable& t : dump.tables) names.push_back(t.name);
  return names;
}

std::string join(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

void compareColumns(const DumpTable& want, const DumpTable& got, std::vector<std::string>& out) {
  std::map<unsigned, const DumpColumn*> have;
  for (const DumpColumn& c : got.columns) have[c.id] = &c;
  for (const DumpColumn& w : want.columns) {
    const std::string where = want.name + " column " + std::to_string(w.id) + " (" + w.name + ")";
    const auto it = have.find(w.id);
    if (it == have.end()) {
      out.push_back(where + ": missing");
      continue;
    }
    const DumpColumn& g = *it->second;
    have.erase(it);
    if (g.name != w.name) out.push_back(where + ": named " + g.name);
    if (g.type != w.type)
      out.push_back(where + ": type " + std::to_string(g.type) + ", expected " + std::to_string(w.type));
    else if (isText(w.type) && g.codepage != w.codepage)
      out.push_back(where + ": code page " + show(g.codepage) + ", expected " + show(w.codepage));
  }
  for (const auto& [id, g] : have)
    out.push_back(want.name + " column " + std::to_string(id) + " (" + g->name + "): not expected");
}

void compareRows(const DumpTable& want, const DumpTable& got, std::vector<std::string>& out) {
  if (want.rows.size() != got.rows.size())
    out.push_back(want.name + ": " + std::to_string(got.rows.size()) + " rows, expected " +
                  std::to_string(want.rows.size()));
  const std::size_t rows = std::min(want.rows.size(), got.rows.size());
  for (std::size_t r = 0; r < rows; ++r) {
    // Every column named in either row; a missing one reads as null.
    std::map<std::string, std::pair<std::optional<std::vector<std::string>>,
                                    std::optional<std::vector<std::string>>>> values;
    for (const auto& [column, value] : want.rows[r]) values[column].first = value;
    for (const auto& [column, value] : got.rows[r]) values[column].second = value;
    for (const auto& [column, pair] : values) {
      if (pair.first == pair.second) continue;
      out.push_back(want.name + " row " + std::to_string(r) + " column " + column + ": " +
                    show(pair.second) + ", expected " + show(pair.first));
    }
  }
}

}  // namespace

std::vector<std::string> compareDumps(const Dump& expected, const Dump& actual) {
  std::vector<std::string> out;
  if (expected.pageSize != actual.pageSize)
    out.push_back("page size " + std::to_string(actual.pageSize) + ", expected " +
                  std::to_string(expected.pageSize));
  if (TableNames(expected) != TableNames(actual)) {
    out.push_back("tables " + join(TableNames(actual)) + "; expected " + join(TableNames(expected)));
    return out;  // rows of differing tables say nothing more
  }
  for (std::size_t t = 0; t < expected.tables.size(); ++t) {
    compareColumns(expected.tables[t], actual.tables[t], out);
    compareRows(expected.tables[t], actual.tables[t], out);
  }
  return out;
}

}  // namespace corvadex::testing
