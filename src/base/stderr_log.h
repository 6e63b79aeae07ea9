// SPDX-License-Identifier: Apache-2.0
// The message log on standard error, for the programs without a window.
// Each line is written at once and whole, in one write, so that it stands
// before any later error even when the program stops on an exception, and
// lines of two writers do not interleave. The lines that report a failure
// (as a given test tells them) are counted.
#pragma once

#include <string>
#include <string_view>

#include "base/message_log.h"

namespace corvadex {

class StderrLog final : public MessageLog {
 public:
  using LineTest = bool (*)(std::string_view line);

  // `isError` tells the lines that report a failure (none when null); each
  // line is written after `prefix`.
  explicit StderrLog(LineTest isError = nullptr, std::string prefix = {});

  void Add(std::string_view line) override;
  int errors() const { return errors_; }

 private:
  LineTest isError_;
  std::string prefix_;
  std::string line_;
  int errors_ = 0;
};

}  // namespace corvadex
