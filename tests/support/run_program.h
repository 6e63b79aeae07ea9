// SPDX-License-Identifier: Apache-2.0
// Running the programs of this build (corvadex-cli, make-contacts-db) and
// helper scripts from a test, with what they wrote and how they ended.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/temp_folder.h"

namespace corvadex::test {

// The command line program of this build.
inline const std::string kCli = CORVADEX_BIN_DIR "/corvadex-cli";

struct RunResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
  long peakKiB = 0;  // the program's peak resident memory
};

// Runs a program with arguments (no shell), stdin from /dev/null. With
// `stdoutTo` (a file or device, /dev/full say) its standard output goes
// there, and `out` stays empty.
RunResult Run(const std::vector<std::string>& argv, const std::string& stdoutTo = {});

// Writes a database with make-contacts-db and the given options into
// `dir` under `name`; its path.
std::string makeDatabase(const corvadex::TempFolder& dir, const std::string& name,
                         std::vector<std::string> options);

// Whether /usr/bin/python3 can import a module.
bool pythonHasModule(const std::string& module);

// Decodes the output of the Python helper scripts: one line per value,
// "<record>\t<key>\t<value as hex UTF-8>", into one map per record.
std::vector<std::map<std::string, std::string>> parseKeyedHexLines(const std::string& text);

}  // namespace corvadex::test
