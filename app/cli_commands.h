// SPDX-License-Identifier: Apache-2.0
// The sub-commands of corvadex-cli. Each takes the arguments after its own
// name and returns the process exit status: 0 success, 1 a database or file
// error (reported on standard error), 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace corvadex::cli {

using Args = std::vector<std::string>;

int runTables(const Args& args);  // cli_ese.cpp
int runDump(const Args& args);    // cli_ese.cpp
int runRead(const Args& args);    // cli_read.cpp
int runExport(const Args& args);  // cli_export.cpp
int runLocate(const Args& args);  // cli_locate.cpp

}  // namespace corvadex::cli
