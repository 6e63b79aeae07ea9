// SPDX-License-Identifier: Apache-2.0
#include "cli_threads.h"

#include <charconv>

#include "cli_printable.h"

namespace corvadex::cli {

std::optional<unsigned> takeThreadsOption(Args& args, unsigned fallback, std::string& error) {
  unsigned threads = fallback;
  Args rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string value;
    if (args[i] == "--threads") {
      if (i + 1 >= args.size()) {
        error = "--threads needs a value";
        return std::nullopt;
      }
      value = args[++i];
    } else if (args[i].starts_with("--threads=")) {
      value = args[i].substr(10);
    } else {
      rest.push_back(args[i]);
      continue;
    }
    unsigned count = 0;
    const char* end = value.data() + value.size();
    const auto [stop, fault] = std::from_chars(value.data(), end, count);
    if (value.empty() || fault != std::errc() || stop != end || count == 0) {
      error = "--threads takes a whole number of 1 or more, not '" + printable(value) + "'";
      return std::nullopt;
    }
    threads = count;
  }
  args = std::move(rest);
  return threads;
}

}  // namespace corvadex::cli
