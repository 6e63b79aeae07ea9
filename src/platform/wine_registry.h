// SPDX-License-Identifier: Apache-2.0
// One of a Wine prefix's registry files (system.reg, user.reg), read-only.
//
// Wine keeps each registry hive as a text file:
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to \\User\\S-1-5-21-0-0-0-1000
//   #arch=win64
//
//   [Software\\Microsoft\\Windows NT\\CurrentVersion] 1700000000
//   #time=1da2b3c4d5e6f70
//   "CurrentVersion"="6.1"                 REG_SZ
//   "Path"=str(2):"%SystemRoot%\\system32"  REG_EXPAND_SZ (str(N): any type N)
//   "CurrentMajorVersionNumber"=dword:0000000a
//   "Blob"=hex:01,02,03,\                  REG_BINARY, continued on the next
//     04,05                                line after a trailing backslash
//   "Multi"=hex(7):41,00,00,00,00,00       type 7 given as bytes
//   @="default value"                      the key's unnamed value
//
// Key and value names and strings are escaped: \\ \" \n \r \t \a \b \e \f \v,
// \xHHHH (a UTF-16 code unit, up to four hex digits) and \ooo (octal). Other
// bytes are UTF-8 text. Names of keys and values compare case-insensitively,
// as on Windows. Lines starting with ';' or '#' are comments or options;
// "#arch=" before the first key names the prefix's architecture.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry_value.h"

namespace corvadex::platform {

class WineRegistryFile {
 public:
  // Takes the text of a registry file. Only the key lines are read here;
  // a key's values are parsed when they are asked for, so that a prefix's
  // multi-megabyte system.reg costs little at start-up. Lines that cannot be
  // understood are skipped, as Wine itself does when it loads a damaged file.
  static WineRegistryFile parse(std::string text);

  // Registry files longer than this are not read: a prefix's largest,
  // system.reg, is a few megabytes.
  static constexpr std::size_t kMaxFileSize = std::size_t{64} << 20;

  // Reads and parses a file, held once in memory; none when it cannot be
  // read, is not a regular file or is longer than kMaxFileSize.
  static std::optional<WineRegistryFile> load(const std::string& path);

  bool hasKey(std::string_view key) const;
  // The value `name` ("" for the unnamed value) of `key`, or none. When a
  // key or value is written twice, the later one counts.
  std::optional<RegistryValue> find(std::string_view key, std::string_view name) const;

  // "win32", "win64", or empty when the file does not say.
  const std::string& arch() const { return arch_; }
  // The text of the ";; All keys relative to" comment (e.g.
  // "\User\S-1-5-21-0-0-0-1000"), or empty.
  const std::string& relativeTo() const { return relativeTo_; }

 private:
  // The lines of one [key] section: [begin, end) of text_.
  struct Section {
    std::size_t begin;
    std::size_t end;
  };
  std::string text_;
  std::unordered_map<std::string, std::vector<Section>> keys_;  // by lower-case name
  std::string arch_;
  std::string relativeTo_;
};

}  // namespace corvadex::platform
