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

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry_value.h"

namespace corvadex::platform {

class WineRegistryFile {
 public:
  // Parses the text of a registry file. Lines that cannot be understood are
  // skipped, as Wine itself does when it loads a damaged file.
  static WineRegistryFile Parse(std::string_view text);

  // Reads and parses a file; none when it cannot be read.
  static std::optional<WineRegistryFile> Load(const std::string& path);

  bool HasKey(std::string_view key) const;
  // The value `name` ("" for the unnamed value) of `key`, or none.
  const RegistryValue* Find(std::string_view key, std::string_view name) const;

  // "win32", "win64", or empty when the file does not say.
  const std::string& Arch() const { return arch_; }
  // The text of the ";; All keys relative to" comment (e.g.
  // "\User\S-1-5-21-0-0-0-1000"), or empty.
  const std::string& RelativeTo() const { return relativeTo_; }

 private:
  struct Key {
    std::map<std::string, RegistryValue> values;  // by lower-case name
  };
  std::map<std::string, Key> keys_;  // by lower-case name
  std::string arch_;
  std::string relativeTo_;
};

// ASCII lower-case, the folding used for registry and file names.
std::string AsciiLower(std::string_view text);

}  // namespace corvadex::platform
