// SPDX-License-Identifier: Apache-2.0
// Times what the window's start-up spends in the Wine prefix view: reading
// the prefix's registry files (a fresh Wine prefix's system.reg is a few
// megabytes) and the whole start-up location on top of them.
//
//   bench_windows_view [KEYS]     KEYS: registry keys in system.reg (60000)

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/temp_folder.h"
#include "location/database_location.h"
#include "platform/wine_prefix_view.h"
#include "platform/wine_registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time, which a busy machine inflates less than wall time.
double cpuMillisecondsSince(std::clock_t start) {
  return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// A registry file with the mix of value forms Wine writes.
std::string registryText(int keys) {
  std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
  for (int k = 0; k < keys; ++k) {
    text += "[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(100000 + k) +
            "-0000-0000-C000-000000000046}\\\\InprocServer32] 1700000000\n#time=1d0\n";
    text += "@=\"C:\\\\windows\\\\system32\\\\ole32.dll\"\n";
    text += "\"ThreadingModel\"=\"Both\"\n";
    text += "\"Flags\"=dword:00000001\n";
    if (k % 4 == 0) {
      text += "\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
              "  15,16,17,18,19,1a,1b,1c,1d,1e,1f\n";
    }
  }
  text += "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]\n"
          "\"CurrentMajorVersionNumber\"=dword:0000000a\n\"CurrentVersion\"=\"6.3\"\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int keys = argc > 1 ? std::atoi(argv[1]) : 60000;
  const corvadex::TempFolder folder("corvadex-bench");
  const std::filesystem::path root = folder.path();
  std::filesystem::create_directories(root / "drive_c/users/bob/AppData/Local");
  std::filesystem::create_directories(root / "drive_c/Program Files (x86)");
  std::filesystem::create_directories(root / "dosdevices");
  std::filesystem::create_directory_symlink("../drive_c", root / "dosdevices/c:");
  const std::string system = registryText(keys);
  std::ofstream(root / "system.reg") << system;
  std::ofstream(root / "user.reg") << registryText(keys / 10);

  auto start = Clock::now();
  auto cpuStart = std::clock();
  const auto parsed = corvadex::platform::WineRegistryFile::parse(system);
  const double parseMs = millisecondsSince(start);
  const double parseCpuMs = cpuMillisecondsSince(cpuStart);

  start = Clock::now();
  cpuStart = std::clock();
  const corvadex::platform::WinePrefixView view({root.string(), "bob"});
  corvadex::DatabaseLocation location(view);
  corvadex::LineLog log;
  corvadex::ContactList list;
  std::string error;
  try {
    location.Run(log, list, [](const std::string&) {});
  } catch (const std::exception& e) {
    error = e.what();  // no mail client in this prefix: the expected end
  }
  const double startupMs = millisecondsSince(start);
  const double startupCpuMs = cpuMillisecondsSince(cpuStart);

  std::printf("system.reg: %d keys, %.1f MiB, parsed in %.1f ms wall, %.1f ms CPU\n", keys,
              static_cast<double>(system.size()) / (1 << 20), parseMs, parseCpuMs);
  std::printf("start-up location (both registry files read, no mail client): %.1f ms wall, "
              "%.1f ms CPU, ended with \"%s\"\n",
              startupMs, startupCpuMs, error.c_str());
  std::printf("(parsed key found: %s)\n",
              parsed.hasKey("Software\\Microsoft\\Windows NT\\CurrentVersion") ? "yes" : "no");
  return 0;
}
