// SPDX-License-Identifier: Apache-2.0
// The read's message log on standard error, for the commands that read the
// contacts as the window does: each line is written at once (so that a read
// that stops on an exception still leaves the lines before it), and the
// lines that report a failure are counted. The read writes a few kinds of
// plain line (the page size, the engine state's notes, the empty-table
// notice); every other line it writes is an error line.
#pragma once

#include <cstdio>
#include <string_view>

#include "store/contact_store_reader.h"
#include "store/message_log.h"

namespace corvadex::cli {

class StderrLog final : public MessageLog {
 public:
  void Add(std::string_view line) override {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    if (!IsPlain(line)) ++errors_;
  }
  int Errors() const { return errors_; }

 private:
  static bool IsPlain(std::string_view line) {
    return line.starts_with("database page size ") || line == "The database is empty" ||
           line == kDirtyShutdownLine;
  }
  int errors_ = 0;
};

}  // namespace corvadex::cli
