// SPDX-License-Identifier: Apache-2.0
// Windows executables made at test time by the MinGW-w64 binutils
// (windres, as, ld): a one-instruction program, with or without a version
// resource. When the tools are missing the builder says why, and the test
// skips.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace corvadex::testing {

enum class PeArch { X86, X64 };

struct PeResources {
  // "15,4,3508,205" style; empty for no version resource.
  std::string fileVersion;
  std::string productVersion;
  // Adds an unrelated data resource, so that the file has a resource tree
  // that simply lacks a version.
  bool extraData = false;
};

class MingwPe {
 public:
  // Empty when every tool is there; otherwise the reason to skip.
  static std::string missingTools() {
    for (const char* tool :
         {"i686-w64-mingw32-windres", "i686-w64-mingw32-as", "i686-w64-mingw32-ld",
          "x86_64-w64-mingw32-windres", "x86_64-w64-mingw32-as", "x86_64-w64-mingw32-ld",
          "cpp"}) {
      const std::string probe = std::string("command -v ") + tool + " >/dev/null 2>&1";
      if (std::system(probe.c_str()) != 0) {
        return std::string(tool) + " is not installed (Debian: binutils-mingw-w64, cpp)";
      }
    }
    return {};
  }

  // Builds `out` in `workDir`; false when a tool failed.
  static bool build(const std::filesystem::path& workDir, const std::filesystem::path& out,
                    PeArch arch, const PeResources& resources) {
    const std::string triple = arch == PeArch::X86 ? "i686-w64-mingw32" : "x86_64-w64-mingw32";
    std::filesystem::create_directories(workDir);
    const std::string stem = (workDir / out.stem()).string();
    {
      std::ofstream asm_(stem + ".s");
      asm_ << ".text\n.globl _start\n_start:\n  ret\n";
    }
    std::string objects = quote(stem + "-code.o");
    std::string command = triple + "-as " + quote(stem + ".s") + " -o " + objects;
    if (!resources.fileVersion.empty() || resources.extraData) {
      {
        std::ofstream rc(stem + ".rc");
        if (resources.extraData) rc << "7 RCDATA { \"some data\" }\n";
        if (!resources.fileVersion.empty()) {
          rc << "1 VERSIONINFO\nFILEVERSION " << resources.fileVersion
             << "\nPRODUCTVERSION " << resources.productVersion
             << "\nFILEOS 0x40004\nFILETYPE 1\nBEGIN\n"
                "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904b0\"\n    BEGIN\n"
                "      VALUE \"FileDescription\", \"Corvadex test program\"\n"
                "    END\n  END\n"
                "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n"
                "  END\nEND\n";
        }
      }
      command += " && " + triple + "-windres --preprocessor=cpp -O coff -i " +
                 quote(stem + ".rc") + " -o " + quote(stem + "-res.o");
      objects += " " + quote(stem + "-res.o");
    }
    std::filesystem::create_directories(out.parent_path());
    command += " && " + triple + "-ld --subsystem windows -e _start -o " + quote(out.string()) +
               " " + objects + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && std::filesystem::exists(out);
  }

 private:
  static std::string quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
      if (c == '\'') {
        out += "'\\''";
      } else {
        out += c;
      }
    }
    return out + "'";
  }
};

}  // namespace corvadex::testing
