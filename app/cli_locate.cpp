// Placeholder until this command is built.
#include <cstdio>
#include "cli_commands.h"
namespace corvadex::cli {
int RunLocate(const Args&) {
  std::fputs("corvadex-cli: this command is not built yet\n", stderr);
  return 2;
}
}  // namespace corvadex::cli
