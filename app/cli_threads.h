// SPDX-License-Identifier: Apache-2.0
// --threads N (or --threads=N): how many threads a command that reads a
// database may use. The export formats its rows on that many threads; read,
// dump and tables accept it and keep it for the engine.
#pragma once

#include <optional>
#include <string>

#include "cli_commands.h"

namespace corvadex::cli {

// Takes every --threads option out of `args` and returns its count (the
// last one given), or `fallback` when there is none. A missing value, one
// that is not a whole number, or 0, gives nullopt and the reason in `error`.
std::optional<unsigned> takeThreadsOption(Args& args, unsigned fallback, std::string& error);

}  // namespace corvadex::cli
