// SPDX-License-Identifier: Apache-2.0
// The read's message log on standard error, for the commands that read the
// contacts as the window does (StderrLog, a line at once, so that a read
// that stops on an exception still leaves the lines before it). The read
// writes a few kinds of plain line (the page size, the engine state's notes,
// the empty-table notice); every other line it writes reports a failure and
// is counted.
#pragma once

#include <string_view>

#include "base/stderr_log.h"
#include "store/contact_store_reader.h"

namespace corvadex::cli {

inline bool isReadErrorLine(std::string_view line) {
  return !(line.starts_with("database page size ") || line == "The database is empty" ||
           line == kDirtyShutdownLine);
}

}  // namespace corvadex::cli
