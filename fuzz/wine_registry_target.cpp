// SPDX-License-Identifier: Apache-2.0
// Fuzz target: parse the input as a Wine registry file and look up the
// values the start-up location asks for.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/wine_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using corvadex::platform::WineRegistryFile;
  const WineRegistryFile file =
      WineRegistryFile::parse(std::string(reinterpret_cast<const char*>(data), size));
  static const char* const kKeys[] = {
      "Software\\\\Microsoft\\\\Windows Live Mail",
      "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders",
      "Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion", "a"};
  for (const char* key : kKeys) {
    (void)file.hasKey(key);
    for (const char* name : {"", "Store Root", "Local AppData", "CurrentVersion", "a"}) {
      (void)file.find(key, name);
    }
  }
  return 0;
}
