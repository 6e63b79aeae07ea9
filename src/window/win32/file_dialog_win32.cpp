// SPDX-License-Identifier: Apache-2.0
#include "window/win32/file_dialog_win32.h"

#include <vector>

#include "base/wide_path.h"

namespace corvadex::win32 {

namespace {

std::vector<std::string> filterParts(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size() && !filter.empty()) {
    const std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

}  // namespace

std::wstring dialogFilter(const std::string& filter) {
  std::wstring out;
  for (const std::string& part : filterParts(filter)) {
    out += wideText(part);
    out += L'\0';
  }
  out += L'\0';
  return out;
}

std::string filterExtension(const std::string& filter, int index) {
  const std::vector<std::string> parts = filterParts(filter);
  const std::size_t at = static_cast<std::size_t>(index) * 2 + 1;
  if (index < 0 || at >= parts.size()) return {};
  const std::string pattern = parts[at].substr(0, parts[at].find(';'));
  const std::size_t dot = pattern.rfind('.');
  if (dot == std::string::npos || pattern.find_first_of("*?", dot) != std::string::npos) return {};
  return pattern.substr(dot + 1);
}

std::string withExtension(const std::string& path, const std::string& extension) {
  const std::size_t name = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (name == std::string::npos || dot > name);
  if (hasExtension || extension.empty()) return path;
  return path + "." + extension;
}

}  // namespace corvadex::win32
