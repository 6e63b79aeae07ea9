// corvadex-cli: the headless face of Corvadex.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "cli_commands.h"
#include "corvadex_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: corvadex-cli COMMAND [ARGS...]\n"
    "       corvadex-cli --help | --version\n"
    "\n"
    "Reads contacts databases (ESE files such as contacts.edb) strictly read-only.\n"
    "\n"
    "Commands:\n"
    "  tables DATABASE              page size, format, state and every table with its columns\n"
    "  dump DATABASE [TABLE...]     tables as canonical JSON (every table, or the named ones)\n"
    "  read DATABASE                read the contacts as the window does: log lines on\n"
    "                               standard error, one tab-separated row per contact\n"
    "  export DATABASE [-o FILE] [--format xml|csv|vcard]\n"
    "                               export every contact (default: XML to standard output)\n"
    "  locate                       find the mail client's database in the Wine prefix and\n"
    "                               read it, as the window does at start-up\n"
    "  locate --all [--search DIR]...\n"
    "                               list every contacts database in Wine prefixes, on mounted\n"
    "                               Windows volumes and in the named folders, newest first\n"
    "  help                         this text\n"
    "\n"
    "Options of export:\n"
    "  -o FILE, --output FILE, --output=FILE\n"
    "                               write FILE, replacing it only once the export is\n"
    "                               complete; \"-\" is standard output\n"
    "  --format FORMAT, --format=FORMAT\n"
    "                               xml (the window's export), csv or vcard\n"
    "\n"
    "Other options:\n"
    "  -h, --help                   this text; after tables or dump, that command's own\n"
    "  --version                    the program's name and version\n"
    "\n"
    "Environment: WINEPREFIX (where locate looks, else ~/.wine); LC_TIME (the date\n"
    "format of read, locate and the xml and csv exports).\n"
    "\n"
    "Exit status: 0 success, 1 database or file error, 2 bad usage.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace corvadex::cli;
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string command = argv[1];
  if (command == "help" || command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::fputs("corvadex " CORVADEX_VERSION "\n", stdout);
    return 0;
  }
  Args args(argv + 2, argv + argc);
  try {
    if (command == "tables") return RunTables(args);
    if (command == "dump") return RunDump(args);
    if (command == "read") return RunRead(args);
    if (command == "export") return RunExport(args);
    if (command == "locate") return RunLocate(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "corvadex-cli: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "corvadex-cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return 2;
}
