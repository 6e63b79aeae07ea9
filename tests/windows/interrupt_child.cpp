// SPDX-License-Identifier: Apache-2.0
// The export the interrupt test stops: makes the temporary file of an
// export to the target named on its command line, under the console
// control handler, prints the file's path and waits to be interrupted.
#include <windows.h>

#include <cstdio>

#include "cli_platform.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  corvadex::cli::InterruptCleanup cleanup;
  std::unique_ptr<corvadex::OutputFile> file = cleanup.create(argv[1]);
  file->write("partial export");
  std::printf("%s\n", file->temporaryPath().c_str());
  std::fflush(stdout);
  ::Sleep(INFINITE);
  return 0;
}
