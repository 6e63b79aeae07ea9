// SPDX-License-Identifier: Apache-2.0
#include "run_program.h"

#include <sstream>
#include <stdexcept>

namespace corvadex::test {

std::string makeDatabase(const corvadex::TempFolder& dir, const std::string& name,
                         std::vector<std::string> options) {
  const std::string path = dir.File(name);
  options.insert(options.begin(), CORVADEX_BIN_DIR "/make-contacts-db");
  options.push_back(path);
  const RunResult made = Run(options);
  if (made.exitCode != 0) throw std::runtime_error("make-contacts-db: " + made.err);
  return path;
}

namespace {
std::string fromHex(const std::string& hex) {
  if (hex.size() % 2 != 0) throw std::runtime_error("odd hex text");
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}
}  // namespace

std::vector<std::map<std::string, std::string>> parseKeyedHexLines(const std::string& text) {
  std::vector<std::map<std::string, std::string>> records;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    const auto tab1 = line.find('\t');
    const auto tab2 = line.find('\t', tab1 + 1);
    if (tab1 == std::string::npos || tab2 == std::string::npos)
      throw std::runtime_error("bad helper line: " + line);
    const auto record = static_cast<std::size_t>(std::stoul(line.substr(0, tab1)));
    if (records.size() <= record) records.resize(record + 1);
    const std::string key = line.substr(tab1 + 1, tab2 - tab1 - 1);
    if (records[record].count(key) != 0) throw std::runtime_error("key twice: " + key);
    records[record][key] = fromHex(line.substr(tab2 + 1));
  }
  return records;
}

}  // namespace corvadex::test
