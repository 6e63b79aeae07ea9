// SPDX-License-Identifier: Apache-2.0
// What a parser or a reader of the engine returns: the engine's status code
// and, for a failure the file's content caused, which check failed and
// where, e.g.
//
//   page 1234, table Contacts, column Name: the tagged value runs past the record's end
//
// The check is named where it fails (the page, record or value parser);
// callers on the way out add what they know and the parser did not (the
// page a record came from, the table, the column). The Jet calls give the
// code alone; EngineJet keeps the detail of its latest failed call for a
// command line's error output.
#pragma once

#include <cstdint>
#include <string>

#include "ese/jet.h"

namespace ese {

struct [[nodiscard]] Status {
  JET_ERR code = JET_errSuccess;
  std::uint32_t pgno = 0;              // 0: not known, or not about one page
  const char* check = nullptr;         // what was found wrong (static text); nullptr: no check
  const std::string* table = nullptr;  // names of the schema, which outlives the status
  const std::string* column = nullptr;

  constexpr Status() = default;
  // A code without a check: a call's own refusal, or the end of a walk.
  constexpr Status(JET_ERR status_code) : code(status_code) {}  // NOLINT: implicit on purpose
  constexpr Status(JET_ERR status_code, const char* failed_check, std::uint32_t page = 0)
      : code(status_code), pgno(page), check(failed_check) {}

  bool ok() const { return code == JET_errSuccess; }
  friend bool operator==(const Status& s, JET_ERR c) { return s.code == c; }

  // The page, table and column added where not known yet (0 / null: not
  // known here either); a success stays as it is.
  Status& at(std::uint32_t page, const std::string* table_name = nullptr,
             const std::string* column_name = nullptr) {
    if (code == JET_errSuccess) return *this;
    if (pgno == 0) pgno = page;
    if (table == nullptr) table = table_name;
    if (column == nullptr) column = column_name;
    return *this;
  }

  // "page P, table T, column C: check", the known parts only; empty text
  // when no check failed.
  std::string text() const;
};

// A failure of `check` on page `pgno` (0: not known here), so that a parser
// can write
//   return corrupt("the record is shorter than its header");
inline Status corrupt(const char* check, std::uint32_t pgno = 0) {
  return Status(JET_errDatabaseCorrupted, check, pgno);
}

}  // namespace ese
