// SPDX-License-Identifier: Apache-2.0
// corvadex-cli export DATABASE [-o FILE | --split FOLDER] [--format FORMAT]
//
// FORMAT: xml (the default), csv, vcard (3.0), vcard4, google-csv or
// outlook-csv. --split writes one vCard file per contact into FOLDER.
// --threads N formats the rows on N threads (default: the processor count);
// the file is the same for any N.
//
// Reads the database as the window does (the same ReadDatabase, its log
// lines on standard error) and writes every contact to FILE, or to standard
// output when no FILE (or "-") is given. A FILE is written beside itself and
// renamed into place only when complete, so a failed export leaves an
// earlier file as it was; a FILE that exists and is not a regular file (a
// FIFO, a device, /dev/stdout) is written straight into.
//
// Dates: the read uses the user's short date format, as the window's does,
// so that the xml output is byte for byte the file the window writes for the
// same database; the formats for other address books take each date from the
// calendar date the read keeps beside the text.
//
// Nothing is written when the read did not get to the contact rows (the
// contact table could not be opened or bound), or got there and failed with
// no rows read. A read that loaded rows but reported errors on the way
// (values that could not be read are empty) is exported, and the command
// then says so and exits with status 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "base/file_status.h"
#include "base/message_log.h"
#include "base/output_file.h"
#include "cli_commands.h"
#include "cli_failure_detail.h"
#include "cli_log.h"
#include "cli_platform.h"
#include "cli_printable.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "export/export_format.h"
#include "platform/same_file.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"

namespace corvadex::cli {

namespace {

struct ExportOptions {
  std::string database;
  std::string output;  // empty: standard output
  std::string splitFolder;  // not empty: one vCard file per contact there
  ExportFormat format = ExportFormat::Xml;
  bool verbose = false;  // the engine's detail after each error line
  unsigned threads = 1;  // the rows are formatted on this many threads
};

constexpr const char* kExportUsage =
    "Usage: corvadex-cli export DATABASE [-o FILE | --split FOLDER]\n"
    "         [--format xml|csv|vcard|vcard4|google-csv|outlook-csv] [--threads N] [--verbose]\n";

int usageError(const std::string& message) {
  std::fprintf(stderr, "corvadex-cli export: %s\n%s", message.c_str(), kExportUsage);
  return 2;
}

// Parses the arguments; on a usage error prints it and gives the status.
std::optional<ExportOptions> parseArgs(const Args& args, const CommandOptions& common, int& status) {
  ExportOptions options;
  options.threads = common.threads;
  bool haveDatabase = false, haveOutput = false, haveFormat = false, haveSplit = false;
  status = 2;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::optional<std::string> value;
    std::string option;
    if (arg == "-o" || arg == "--output" || arg == "--format" || arg == "--split") {
      if (i + 1 >= args.size()) {
        usageError(arg + " needs a value");
        return std::nullopt;
      }
      option = arg == "--output" ? "-o" : arg;
      value = args[++i];
    } else if (arg.rfind("--split=", 0) == 0) {
      option = "--split";
      value = arg.substr(8);
    } else if (arg.rfind("--output=", 0) == 0) {
      option = "-o";
      value = arg.substr(9);
    } else if (arg.rfind("--format=", 0) == 0) {
      option = "--format";
      value = arg.substr(9);
    } else if (arg == "--verbose") {
      options.verbose = true;
      continue;
    } else if (arg.size() > 1 && arg[0] == '-') {
      usageError("unknown option '" + arg + "'");
      return std::nullopt;
    }

    if (option == "-o") {
      if (haveOutput) {
        usageError("only one output file can be given");
        return std::nullopt;
      }
      if (value->empty()) {
        usageError("the output file name is empty");
        return std::nullopt;
      }
      haveOutput = true;
      options.output = *value == "-" ? std::string() : *value;
    } else if (option == "--format") {
      if (haveFormat) {
        usageError("only one format can be given");
        return std::nullopt;
      }
      haveFormat = true;
      const std::optional<ExportFormat> format = exportFormatNamed(*value);
      if (!format) {
        usageError("unknown format '" + *value + "' (xml, csv, vcard, vcard4, google-csv or outlook-csv)");
        return std::nullopt;
      }
      options.format = *format;
    } else if (option == "--split") {
      if (haveSplit || value->empty()) {
        usageError(haveSplit ? "only one folder can be given" : "the folder name is empty");
        return std::nullopt;
      }
      haveSplit = true;
      options.splitFolder = *value;
    } else {
      if (haveDatabase) {
        usageError("only one database can be given");
        return std::nullopt;
      }
      haveDatabase = true;
      options.database = arg;
    }
  }
  if (!haveDatabase) {
    usageError("no database given");
    return std::nullopt;
  }
  if (haveSplit && (haveOutput || !isVcard(options.format))) {
    usageError(haveOutput ? "--split and -o exclude each other" : "--split writes vCards only (--format vcard or vcard4)");
    return std::nullopt;
  }
  status = 0;
  return options;
}

// Notes whether the contact load got as far as the rows: it opens the list's
// update bracket only once every contact column is bound.
class LoadWatch final : public ContactListObserver {
 public:
  void rowsAboutToChange() override { reached_ = true; }
  void rowsChanged() override {}
  void selectedRowChanged(std::optional<std::size_t>) override {}
  bool reached() const { return reached_; }

 private:
  bool reached_ = false;
};

// "exported 12000 of 50000 contacts" on one line of the terminal, redrawn in
// place, at most once per whole percent.
class TerminalProgress {
 public:
  explicit TerminalProgress(bool enabled) : enabled_(enabled) {}
  ~TerminalProgress() {
    if (shown_) std::fputc('\n', stderr);
  }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  ExportProgress callback() {
    if (!enabled_) return {};
    return [this](std::size_t done, std::size_t total) {
      const std::size_t percent = total == 0 ? 100 : done * 100 / total;
      if (shown_ && percent == lastPercent_ && done != total) return;
      lastPercent_ = percent;
      shown_ = true;
      std::fprintf(stderr, "\rcorvadex-cli: exported %zu of %zu contacts (%zu%%)", done, total, percent);
      std::fflush(stderr);
    };
  }

 private:
  bool enabled_;
  bool shown_ = false;
  std::size_t lastPercent_ = 0;
};

}  // namespace

int runExport(const Args& args, const CommandOptions& common) {
  int status = 0;
  const std::optional<ExportOptions> options = parseArgs(args, common, status);
  if (!options) return status;

  // The window reads only a path that names an existing file; so does this.
  int error = 0;
  const FileKind database = fileKind(options->database, &error);
  if (database == FileKind::Missing) {
    errno = error;
    std::perror(("corvadex-cli: " + options->database).c_str());
    return 1;
  }
  if (database == FileKind::Folder) {
    std::fprintf(stderr, "corvadex-cli: %s: Is a directory\n", options->database.c_str());
    return 1;
  }
  if (!refuseNonRegularFile(options->database)) return 1;
  // Renaming the export over the database would destroy what Corvadex
  // promises never to change.
  if (isSameFile(options->database, options->output)) {
    std::fprintf(stderr, "corvadex-cli: %s: the output file is the database itself\n",
                 options->output.c_str());
    return 2;
  }
  // A file that cannot be written is better reported before a long read.
  if (!options->output.empty() && !OutputFile::writesInPlace(options->output))
    OutputFile::checkTarget(options->output);

  ContactList list;
  LoadWatch watch;
  list.addObserver(&watch);
  StderrLog log(isReadErrorLine);
  LocaleShortDateFormat dates;
  ese::EngineJet jet(ese::EngineOptions{.threads = options->threads});
  DetailedLog detailed(log, jet, options->verbose);
  ContactStoreReader reader(jet, detailed, list, dates);
  reader.ReadDatabase(options->database);
  list.removeObserver(&watch);

  if (!watch.reached() || (list.count() == 0 && log.errors() > 0)) {
    std::fprintf(stderr, "corvadex-cli: %s: no contacts could be read; nothing was exported\n",
                 options->database.c_str());
    return 1;
  }

  {
    TerminalProgress progress(standardErrorIsTerminal());
    if (!options->splitFolder.empty()) {
      writeContactsSplit(options->format, list, options->splitFolder, progress.callback());
    } else if (options->output.empty()) {
      OutputFile out = OutputFile::ofDescriptor(1, "standard output");
      writeContacts(options->format, list, out, progress.callback(), options->threads);
      out.commit();
    } else if (OutputFile::writesInPlace(options->output)) {
      // A FIFO, a device, /dev/stdout: no temporary file, no rename.
      OutputFile out = OutputFile::InPlace(options->output);
      writeContacts(options->format, list, out, progress.callback(), options->threads);
      out.commit();
    } else {
      InterruptCleanup cleanup;
      std::unique_ptr<OutputFile> file = cleanup.create(options->output);
      writeContacts(options->format, list, *file, progress.callback(), options->threads);
      file->commit();
    }
  }

  if (log.errors() > 0) {
    std::fprintf(stderr,
                 "corvadex-cli: %s: the read reported %d error(s); values that could not be read "
                 "are empty in the export\n",
                 options->database.c_str(), log.errors());
    return 1;
  }
  return 0;
}

}  // namespace corvadex::cli
