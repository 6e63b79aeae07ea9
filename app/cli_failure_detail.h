// SPDX-License-Identifier: Apache-2.0
// The engine's detail of a failure on the command line's error output: which
// check of the database file failed and where, as a line of its own after
// the line that reports the failure, e.g.
//
//   corvadex-cli: page 1234, table Contacts: the record's variable data runs past its end
//
// `tables` and `dump` always give it; `read` and `export`, whose error
// output is the message log line for line, only with --verbose.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/message_log.h"
#include "cli_printable.h"
#include "ese/file_reader.h"
#include "ese/jet.h"

namespace corvadex::cli {

inline void printFailureDetail(const std::string& detail) {
  if (!detail.empty()) std::fprintf(stderr, "corvadex-cli: %s\n", printable(detail).c_str());
}

// Passes every line on to `log`; with `verbose`, follows a line with the
// detail of the engine call that failed just before it, when there is one.
// (The read writes an error line as soon as a call fails, so the latest
// failure is the one the line reports.)
class DetailedLog final : public MessageLog {
 public:
  DetailedLog(MessageLog& log, ese::FailureDetailSource& engine, bool verbose)
      : log_(log), engine_(engine), verbose_(verbose) {}

  // A database another program holds gets its note (what to do) even
  // without `verbose`.
  void Add(std::string_view line) override {
    log_.Add(line);
    const std::string detail = engine_.takeFailureDetail();
    if (verbose_ || detail.find(ese::kHeldByAnotherProgram) != std::string::npos)
      printFailureDetail(detail);
  }

 private:
  MessageLog& log_;
  ese::FailureDetailSource& engine_;
  bool verbose_;
};

}  // namespace corvadex::cli
