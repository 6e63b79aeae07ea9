// SPDX-License-Identifier: Apache-2.0
// What the command line asks of the system it runs on: the program's entry
// (main on POSIX systems, wmain on Windows, both handing UTF-8 arguments to
// runCli), whether the progress line has a terminal to go to, and the
// removal of an export's temporary file when the command is interrupted.
// One source per system: cli_platform.cpp, cli_platform_windows.cpp.
#pragma once

#include <memory>
#include <string>

#include "base/output_file.h"

namespace corvadex::cli {

// The command line proper (cli_main.cpp): arguments in UTF-8.
int runCli(int argc, char** argv);

bool standardErrorIsTerminal();

// While it lives, an interruption (Ctrl+C, a closed terminal or console,
// kill, the end of the session) removes the temporary file of the export
// made with create(), and the program ends with the status it would have
// had without the cleanup: 128 + the signal's number (130 for Ctrl+C). One
// at a time.
class InterruptCleanup {
 public:
  InterruptCleanup();
  ~InterruptCleanup();
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  // Creates the file; an interruption that arrives meanwhile takes effect
  // once the file's temporary name is known, and removes the file.
  std::unique_ptr<OutputFile> create(const std::string& target);
};

}  // namespace corvadex::cli
