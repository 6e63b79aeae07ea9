// SPDX-License-Identifier: Apache-2.0
// Names at the Windows boundary: the program keeps text and paths in UTF-8
// and hands the system UTF-16 (the wide calls), and back. Windows only
// (wide_path_windows.cpp).
#pragma once

#include <string>
#include <string_view>

namespace corvadex {

// UTF-16 from UTF-8; empty for text that is not UTF-8.
std::wstring wideText(std::string_view utf8);
// UTF-8 from UTF-16 (a lone surrogate becomes U+FFFD).
std::string utf8Text(std::wstring_view wide);

// A path for the wide file calls: a path of MAX_PATH characters or more is
// made absolute and given the \\?\ prefix (\\?\UNC\ for a share), which
// lifts the limit; a shorter one is passed as it is, so that relative paths
// and forward slashes keep their usual meaning. Empty for a path that is not
// UTF-8.
std::wstring widePath(const std::string& utf8);

}  // namespace corvadex
