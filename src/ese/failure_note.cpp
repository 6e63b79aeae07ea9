// SPDX-License-Identifier: Apache-2.0
#include "ese/failure_note.h"

namespace ese {
namespace {
thread_local FailureNote t_note;
}  // namespace

namespace detail {
thread_local constinit bool t_noted = false;

void forgetNote() {
  t_note = FailureNote();
  t_noted = false;
}
}  // namespace detail

std::string FailureNote::Text() const {
  if (code == JET_errSuccess) return {};
  std::string text;
  auto part = [&text](std::string_view piece) {
    if (!text.empty()) text += ", ";
    text += piece;
  };
  if (pgno != 0) part("page " + std::to_string(pgno));
  if (!table.empty()) part("table " + table);
  if (!column.empty()) part("column " + column);
  if (!text.empty()) text += ": ";
  text += check;
  return text;
}

JET_ERR fail(JET_ERR code, std::string_view check, std::uint32_t pgno) {
  detail::t_noted = code != JET_errSuccess;
  t_note.code = code;
  t_note.pgno = pgno;
  t_note.table.clear();
  t_note.column.clear();
  t_note.check = check;
  return code;
}

JET_ERR locate(JET_ERR code, std::uint32_t pgno, const std::string* table,
               const std::string* column) {
  if (t_note.code != code || code == JET_errSuccess) return code;
  if (t_note.pgno == 0) t_note.pgno = pgno;
  if (table != nullptr && t_note.table.empty()) t_note.table = *table;
  if (column != nullptr && t_note.column.empty()) t_note.column = *column;
  return code;
}

const FailureNote& latestFailure() { return t_note; }

}  // namespace ese
