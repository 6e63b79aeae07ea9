// SPDX-License-Identifier: Apache-2.0
// What the engine knows about its latest failure beyond the status code:
// which check of the file failed, and where, e.g.
//
//   page 1234, table Contacts, column Name: the tagged value runs past the record's end
//
// The check is noted where it fails (the page, record or value parser);
// callers on the way out add what they know and the parser did not (the
// page a record came from, the table, the column). Kept per thread; noting a
// new failure replaces the earlier note. The statuses stay the engine's
// own: the note only explains them, for a command line's error output. The
// Jet error-text call does not include it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ese/jet.h"

namespace ese {

struct FailureNote {
  JET_ERR code = JET_errSuccess;  // JET_errSuccess: nothing noted
  std::uint32_t pgno = 0;         // 0: not known, or not about one page
  std::string table;
  std::string column;
  std::string_view check;  // what was found wrong (static text)

  // "page P, table T, column C: check", the known parts only; empty text
  // when nothing is noted.
  std::string Text() const;
};

// Notes a failure of `check` with status `code` on page `pgno` (0: not
// known here) and returns `code`, so that a parser can write
//   return Fail(JET_errDatabaseCorrupted, "the record is shorter than its header");
JET_ERR fail(JET_ERR code, std::string_view check, std::uint32_t pgno = 0);
// Fail(JET_errDatabaseCorrupted, ...): the usual case.
inline JET_ERR corrupt(std::string_view check, std::uint32_t pgno = 0) {
  return fail(JET_errDatabaseCorrupted, check, pgno);
}

// Adds the page, table and column to the latest note when it is the note
// of `code` and lacks them (null / 0: not known); returns `code`.
JET_ERR locate(JET_ERR code, std::uint32_t pgno, const std::string* table = nullptr,
               const std::string* column = nullptr);

// The latest note, and forgetting it. Every Jet call forgets the note of
// the call before, so forgetting costs one test when there is none.
const FailureNote& latestFailure();
namespace detail {
extern thread_local constinit bool t_noted;  // a note is kept
void forgetNote();
}  // namespace detail
inline void forgetFailure() {
  if (detail::t_noted) detail::forgetNote();
}

}  // namespace ese
