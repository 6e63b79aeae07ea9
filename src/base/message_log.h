// SPDX-License-Identifier: Apache-2.0
// The message log: the only channel through which a read reports what it did
// and what went wrong. Lines are appended whole, one call per line; nothing
// ever changes, removes or clears a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvadex {

class MessageLog {
 public:
  virtual ~MessageLog() = default;
  virtual void Add(std::string_view line) = 0;
};

// A log that keeps its lines in memory (the command line and the tests).
class LineLog final : public MessageLog {
 public:
  void Add(std::string_view line) override { lines_.emplace_back(line); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace corvadex
