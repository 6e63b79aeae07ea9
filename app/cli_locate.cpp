// corvadex-cli locate: the window's start-up location without the window.
//
// Finds the mail client in the Wine prefix ($WINEPREFIX, else ~/.wine),
// works out where its version keeps the contacts database and reads it, as
// the window does when it opens. The lines the window's message log would
// get go to standard error as they are written; the contacts read go to
// standard output, one line each, as `corvadex-cli read` prints them. An
// error the window would report in a message box (no mail client, a
// registry value of the wrong type) is the last line on standard error and
// the exit status is 1.
#include <cstdio>
#include <exception>
#include <string>

#include "cli_commands.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "location/database_location.h"
#include "platform/drive_path_jet.h"
#include "platform/short_date.h"
#include "platform/wine_prefix_view.h"
#include "store/contact_store_reader.h"
#include "store/message_log.h"
#include "store/row_text.h"

namespace corvadex::cli {

namespace {

// Each line goes out at once, so that it stands before any later error.
class StderrLog final : public MessageLog {
 public:
  void Add(std::string_view line) override {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
  }
};

}  // namespace

int RunLocate(const Args& args) {
  if (!args.empty()) {
    std::fputs("Usage: corvadex-cli locate\n", stderr);
    return 2;
  }
  const platform::WinePrefixView windows(platform::WinePrefixFromEnvironment());
  ese::EngineJet engine;
  platform::DrivePathJet jet(engine, windows.Paths());
  StderrLog log;
  ContactList list;
  const LocaleShortDateFormat dates;
  ContactStoreReader reader(jet, log, list, dates);
  DatabaseLocation location(windows);
  try {
    location.Run(log, list, [&reader](const std::string& path) { reader.ReadDatabase(path); });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::string out;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    out.clear();
    AppendRowLine(list.Item(i), out);
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace corvadex::cli
