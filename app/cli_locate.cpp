// SPDX-License-Identifier: Apache-2.0
// corvadex-cli locate: the window's start-up location without the window.
//
// Finds the mail client (on Linux in the Wine prefix, $WINEPREFIX, else
// ~/.wine; on Windows in the running system, cli_locate_host*.cpp), works
// out where its version keeps the contacts database and reads it, as
// the window does when it opens. The lines the window's message log would
// get go to standard error as they are written; the contacts read go to
// standard output, one line each, as `corvadex-cli read` prints them. An
// error the window would report in a message box (no mail client, a
// registry value of the wrong type) is the last line on standard error and
// the exit status is 1.
//
// With --all (or --search DIR, repeatable), nothing is read: every contacts
// database in the Wine prefixes and on the mounted Windows volumes (on
// Windows: in the profiles of every fixed or removable drive) and in the
// named folders is listed on standard output, one line each: the path, then
// the volume or prefix, the Windows user, the version folder, the size in
// bytes and the time of the last change (ISO 8601, UTC), separated by tabs;
// newest first. Places that did not answer in time are named on standard
// error. The exit status is 0 when at least one database was found, else 1.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "base/file_status.h"
#include "base/message_log.h"
#include "base/stderr_log.h"
#include "cli_commands.h"
#include "cli_rows.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "cli_locate_host.h"
#include "ese/path_mapping_jet.h"
#include "location/database_location.h"
#include "location/database_search.h"
#include "location/found_database_text.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"

namespace corvadex::cli {

namespace {

constexpr const char* kLocateUsage = "Usage: corvadex-cli locate [--all] [--search DIR]...\n";

int listEveryDatabase(const LocateHost& host, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (fileKind(folder) != FileKind::Folder) {
      std::fprintf(stderr, "corvadex-cli: not a folder: %s\n", folder.c_str());
      return 2;
    }
  }
  DatabaseSearch search(host.search, host.winePrefix, folders, kSearchPatience);
  const SearchOutcome outcome = search.wait();
  for (const std::string& place : outcome.abandoned)
    std::fprintf(stderr, "No answer from %s, left out\n", place.c_str());
  std::string out;
  for (const DatabaseFind& find : outcome.finds) out += findListingLine(find) + '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return 1;
  return outcome.finds.empty() ? 1 : 0;
}

}  // namespace

int runLocate(const Args& args) {
  bool all = false;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--all") {
      all = true;
    } else if (args[i] == "--search" && i + 1 < args.size()) {
      folders.push_back(args[++i]);
    } else {
      std::fputs(kLocateUsage, stderr);
      return 2;
    }
  }
  const LocateHost host = locateHost();
  if (all || !folders.empty()) return listEveryDatabase(host, folders);

  ese::EngineJet engine;
  ese::PathMappingJet jet(engine, host.toFile);
  StderrLog log;
  ContactList list;
  const LocaleShortDateFormat dates;
  ContactStoreReader reader(jet, log, list, dates);
  DatabaseLocation location(*host.windows);
  try {
    location.Run(log, list, [&reader](const std::string& path) { reader.ReadDatabase(path); });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return writeRowLines(list, 1) ? 0 : 1;
}

}  // namespace corvadex::cli
