// SPDX-License-Identifier: Apache-2.0
// The table behind errorText: one row per status code the engine defines,
// sorted by code. Exposed so that tests can check the table as a whole.
#pragma once

#include <span>
#include <string_view>

#include "ese/jet.h"

namespace ese {

struct ErrorTableEntry {
  JET_ERR code;
  std::string_view name;         // the engine's name, e.g. "JET_errNoCurrentRecord"
  std::string_view description;  // a short plain description
};

std::span<const ErrorTableEntry> errorTable();

}  // namespace ese
