// SPDX-License-Identifier: Apache-2.0
// corvadex-cli: the headless face of Corvadex.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "cli_commands.h"
#include "cli_platform.h"
#include "cli_threads.h"
#include "corvadex_version.h"
#include "export/export_format.h"

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
    "  read DATABASE [--verbose]    read the contacts as the window does: log lines on\n"
    "                               standard error, one tab-separated row per contact\n"
    "  export DATABASE [-o FILE | --split FOLDER] [--format FORMAT] [--verbose]\n"
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
    "                               xml (the window's export), csv, vcard (3.0), vcard4,\n"
    "                               google-csv or outlook-csv\n"
    "  --split FOLDER, --split=FOLDER\n"
    "                               one vCard file per contact in FOLDER, named by its UID\n"
    "\n"
    "Other options:\n"
    "  --threads N, --threads=N     after tables, dump, read or export: use up to N\n"
    "                               threads (default: the number of processors); dump,\n"
    "                               read and export read the file ahead on one, read\n"
    "                               and export format their rows on them; the output is\n"
    "                               the same for any N\n"
    "  --verbose                    after read or export: follow each error line that\n"
    "                               reports a damaged file with the check that failed\n"
    "                               and where (tables and dump always do)\n"
    "  -h, --help                   this text; after tables or dump, that command's own\n"
    "  --version                    the program's name and version\n"
    "\n"
    "Environment: WINEPREFIX (where locate looks, else ~/.wine); LC_TIME (the date\n"
    "format of read, locate and the xml and csv exports).\n"
    "\n"
    "Exit status: 0 only when everything asked for was done; 1 a database or file\n"
    "error (read: any error line; any command: standard output cannot be written);\n"
    "2 bad usage.\n";

// Whatever a command printed is flushed before the exit: a full disk or a
// closed pipe under standard output makes the status 1, with the reason.
int finishOutput(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    if (error != 0) {
      std::fprintf(stderr, "corvadex-cli: standard output: %s\n", std::strerror(error));
    } else {
      std::fputs("corvadex-cli: standard output: cannot be written\n", stderr);
    }
    return status == 2 ? 2 : 1;
  }
  return status;
}

}  // namespace

namespace corvadex::cli {

int runCli(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string command = argv[1];
  if (command == "help" || command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return finishOutput(0);
  }
  if (command == "--version") {
    std::fputs("corvadex " CORVADEX_VERSION "\n", stdout);
    return finishOutput(0);
  }
  Args args(argv + 2, argv + argc);
  CommandOptions options;
  if (command == "tables" || command == "dump" || command == "read" || command == "export") {
    std::string error;
    const std::optional<unsigned> threads = takeThreadsOption(args, corvadex::processorCount(), error);
    if (!threads) {
      std::fprintf(stderr, "corvadex-cli %s: %s\n\n%s", command.c_str(), error.c_str(), kUsage);
      return 2;
    }
    options.threads = *threads;
  }
  int status = -1;
  try {
    if (command == "tables") status = runTables(args, options);
    if (command == "dump") status = runDump(args, options);
    if (command == "read") status = runRead(args, options);
    if (command == "export") status = runExport(args, options);
    if (command == "locate") status = runLocate(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "corvadex-cli: %s\n", e.what());
    status = 1;
  }
  if (status < 0) {
    std::fprintf(stderr, "corvadex-cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
  }
  return finishOutput(status);
}

}  // namespace corvadex::cli
