// SPDX-License-Identifier: Apache-2.0
// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes away (the tests' and benchmarks'
// scratch space).
#pragma once

#include <string>
#include <vector>

namespace corvadex {

class TempFolder {
 public:
  // Throws std::runtime_error when no folder can be made. `stem` starts the
  // folder's name, to tell whose it is.
  explicit TempFolder(const std::string& stem = "corvadex-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // The names of the entries in the folder, sorted.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

}  // namespace corvadex
