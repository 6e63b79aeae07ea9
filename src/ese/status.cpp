// SPDX-License-Identifier: Apache-2.0
#include "ese/status.h"

namespace ese {

std::string Status::text() const {
  if (code == JET_errSuccess || check == nullptr) return {};
  std::string out;
  auto part = [&out](const std::string& piece) {
    if (!out.empty()) out += ", ";
    out += piece;
  };
  if (pgno != 0) part("page " + std::to_string(pgno));
  if (table != nullptr && !table->empty()) part("table " + *table);
  if (column != nullptr && !column->empty()) part("column " + *column);
  if (!out.empty()) out += ": ";
  out += check;
  return out;
}

}  // namespace ese
