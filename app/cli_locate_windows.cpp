// SPDX-License-Identifier: Apache-2.0
// corvadex-cli locate on Windows: finding the mail client's database with
// the Windows calls is not part of this build yet, so the command says so
// and names the command that reads a database the user points to.
#include <cstdio>

#include "cli_commands.h"

namespace corvadex::cli {

int runLocate(const Args&) {
  std::fputs(
      "corvadex-cli: locate: this Windows build cannot search for the database yet; "
      "name it instead: corvadex-cli read PATH\\contacts.edb\n",
      stderr);
  return 2;
}

}  // namespace corvadex::cli
