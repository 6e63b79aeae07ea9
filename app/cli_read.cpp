// SPDX-License-Identifier: Apache-2.0
// corvadex-cli read DATABASE [--verbose]: the window's read, headless. The
// message log's lines go to standard error as they are written, exactly as
// the window's log shows them (with --verbose, each error line is followed
// by the engine's detail of the failure, when it has one); once the read is
// over, the list goes to standard output, one line per row with the 33
// values in master-table order separated by tabs (see contacts/row_text.h for
// the escapes), formatted on as many threads as the command may use.
//
// The exit status is 0 when the read ran without an error line; 1 when it
// wrote one (the rows it did read are still listed), when there is no file
// to read or standard output cannot be written; 2 for bad usage.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/message_log.h"
#include "cli_commands.h"
#include "cli_failure_detail.h"
#include "cli_log.h"
#include "cli_printable.h"
#include "cli_rows.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"

namespace corvadex::cli {

int runRead(const Args& args, const CommandOptions& options) {
  bool verbose = false;
  std::string path;
  int paths = 0;
  for (const std::string& arg : args) {
    if (arg == "--verbose") {
      verbose = true;
    } else {
      path = arg;
      ++paths;
    }
  }
  if (paths != 1 || path.empty() || path.starts_with("-")) {
    std::fputs("Usage: corvadex-cli read DATABASE [--verbose]\n", stderr);
    return 2;
  }
  // The window reads only a path that names an existing file that is not a
  // folder; so does this command.
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    std::fprintf(stderr, "corvadex-cli: %s: no such file\n", path.c_str());
    return 1;
  }
  if (std::filesystem::is_directory(status)) {
    std::fprintf(stderr, "corvadex-cli: %s: is a folder, not a database file\n", path.c_str());
    return 1;
  }

  if (!refuseNonRegularFile(path)) return 1;

  // More threads than one add the engine's read-ahead worker.
  ese::EngineJet jet(ese::EngineOptions{.threads = options.threads});
  StderrLog log(isReadErrorLine);
  DetailedLog detailed(log, jet, verbose);
  ContactList list;
  LocaleShortDateFormat dates;
  ContactStoreReader reader(jet, detailed, list, dates);
  reader.ReadDatabase(path);

  if (!writeRowLines(list, options.threads)) {
    std::fprintf(stderr, "corvadex-cli: cannot write the contacts: %s\n", std::strerror(errno));
    return 1;
  }
  return log.errors() > 0 ? 1 : 0;
}

}  // namespace corvadex::cli
