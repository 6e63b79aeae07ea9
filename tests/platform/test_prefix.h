// SPDX-License-Identifier: Apache-2.0
// Wine prefixes built in a temporary folder for tests: registry files, the
// dosdevices/c: link to drive_c and whatever files a test puts on drive C:.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/temp_folder.h"

namespace corvadex::testing {

class TestPrefix {
 public:
  TestPrefix() : root_(folder_.path()) {
    std::filesystem::create_directories(root_ / "drive_c");
    std::filesystem::create_directories(root_ / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
  }

  std::string rootFolder() const { return root_.string(); }

  // The Linux path of a path on drive C: given with slashes ("users/bob").
  std::filesystem::path onDriveC(std::string_view relative) const {
    return root_ / "drive_c" / relative;
  }

  void makeFolder(std::string_view relative) const {
    std::filesystem::create_directories(onDriveC(relative));
  }

  void writeFile(std::string_view relative, std::string_view content = "x") const {
    const auto path = onDriveC(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }

  // Registry files in Wine's text format; `body` holds keys and values.
  void writeSystemReg(std::string_view body, bool win64 = false) const {
    writeReg("system.reg", ";; All keys relative to \\\\Machine\n", body, win64);
  }
  void writeUserReg(std::string_view body, bool win64 = false) const {
    writeReg("user.reg", ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n", body,
             win64);
  }

 private:
  void writeReg(const char* name, std::string_view relative, std::string_view body,
                bool win64) const {
    std::ofstream out(root_ / name, std::ios::binary);
    out << "WINE REGISTRY Version 2\n" << relative << "\n#arch=" << (win64 ? "win64" : "win32")
        << "\n\n" << body;
  }

  TempFolder folder_;
  std::filesystem::path root_;
};

}  // namespace corvadex::testing
