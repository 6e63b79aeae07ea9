// SPDX-License-Identifier: Apache-2.0
// The file dialogs' settings as the common open and save dialogs take them.
#pragma once

#include <string>

namespace corvadex::win32 {

// "xml files|*.xml" as OPENFILENAMEW's lpstrFilter: each part ended by a
// NUL, the whole by a second one.
std::wstring dialogFilter(const std::string& filter);
// The extension of the pattern of the filter's entry `index` (0-based):
// "vcf" of "*.vcf"; empty when there is no such entry or it has none.
std::string filterExtension(const std::string& filter, int index);
// `path` with "." and `extension` appended when its file name has no
// extension and `extension` is not empty.
std::string withExtension(const std::string& path, const std::string& extension);

}  // namespace corvadex::win32
