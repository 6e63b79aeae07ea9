// SPDX-License-Identifier: Apache-2.0
// What the window asks of a reader: load the database at a path into the
// contact list and message log the reader was made for. The contact store
// reader is the program's; window tests load prepared contacts instead.
#pragma once

#include <string>

#include "ese/jet.h"

namespace corvadex {

class DatabaseReader {
 public:
  virtual ~DatabaseReader() = default;
  // Engine failures go to the log; other errors throw. Gives the engine's
  // status of the first failure, JET_errSuccess when none was met.
  virtual ese::JET_ERR ReadDatabase(const std::string& path) = 0;
};

}  // namespace corvadex
