// SPDX-License-Identifier: Apache-2.0
// What the window asks of a reader: load the database at a path into the
// contact list and message log the reader was made for. The contact store
// reader is the program's; window tests load prepared contacts instead.
#pragma once

#include <string>

namespace corvadex {

class DatabaseReader {
 public:
  virtual ~DatabaseReader() = default;
  // Engine failures go to the log; other errors throw.
  virtual void ReadDatabase(const std::string& path) = 0;
};

}  // namespace corvadex
