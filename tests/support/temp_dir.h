// SPDX-License-Identifier: Apache-2.0
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the object goes away.
#pragma once

#include <string>
#include <vector>

namespace corvadex::testing {

class TempDir {
 public:
  // Throws std::runtime_error when no folder can be made.
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // The names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

}  // namespace corvadex::testing
