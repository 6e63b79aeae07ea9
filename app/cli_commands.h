// SPDX-License-Identifier: Apache-2.0
// The sub-commands of corvadex-cli. Each takes the arguments after its own
// name and returns the process exit status: 0 success, 1 a database or file
// error (reported on standard error), 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace corvadex::cli {

using Args = std::vector<std::string>;

// What the commands that read a database share, taken from their arguments
// before the command sees them.
struct CommandOptions {
  // --threads N (cli_threads.h): the threads the command may use, by default
  // the machine's processor count. With more than one, dump, read and export
  // read the file ahead on a worker thread of the engine, and read and export
  // format their rows on them; tables reads too little to gain from them.
  unsigned threads = 1;
};

int runTables(const Args& args, const CommandOptions& options);  // cli_ese.cpp
int runDump(const Args& args, const CommandOptions& options);    // cli_ese.cpp
int runRead(const Args& args, const CommandOptions& options);    // cli_read.cpp
int runExport(const Args& args, const CommandOptions& options);  // cli_export.cpp
int runLocate(const Args& args);  // cli_locate.cpp

}  // namespace corvadex::cli
