// SPDX-License-Identifier: Apache-2.0
#include "base/stderr_log.h"

#include <cstdio>
#include <utility>

namespace corvadex {

StderrLog::StderrLog(LineTest isError, std::string prefix)
    : isError_(isError), prefix_(std::move(prefix)) {}

void StderrLog::Add(std::string_view line) {
  line_.assign(prefix_).append(line).push_back('\n');
  std::fwrite(line_.data(), 1, line_.size(), stderr);
  std::fflush(stderr);
  if (isError_ != nullptr && isError_(line)) ++errors_;
}

}  // namespace corvadex
