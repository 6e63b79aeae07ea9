// Placeholder until this command is built.
#include <cstdio>
#include "cli_commands.h"
namespace corvadex::cli {
int RunRead(const Args&) {
  std::fputs("corvadex-cli: this command is not built yet\n", stderr);
  return 2;
}
}  // namespace corvadex::cli
