// SPDX-License-Identifier: Apache-2.0
// The three column readers. Each reads one column of the current row with
// JetRetrieveColumn (no flags, no options: a multi-valued column gives its
// first value) and yields UTF-8; a null column yields empty text and no
// line, a failed read yields empty text and one "JetRetrieveColumn ERROR "
// line, and the caller goes on with the next column either way.
//
// Text columns are UTF-16LE; a value's length is the byte count the engine
// reports, halved and rounded down — no terminator is looked for.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "base/utf_codec.h"
#include "platform/ole_date.h"

namespace corvadex {

using namespace ese;

namespace {
// 128 UTF-16 code units: a longer value is not delivered at all.
constexpr std::uint32_t kShortTextBytes = 256;
constexpr std::uint32_t kDateBytes = 8;
// The engine's longest key.
constexpr std::uint32_t kMaxKeyBytes = 2000;
constexpr std::string_view kRetrieveFailed = "JetRetrieveColumn ERROR ";
}  // namespace

void ContactStoreReader::readShortText(JET_SESID session, JET_TABLEID table, JET_COLUMNID column,
                                       std::string& out) {
  out.clear();
  unsigned char buffer[kShortTextBytes];
  std::uint32_t actual = 0;
  const JET_ERR err =
      jet_.retrieveColumn(session, table, column, buffer, kShortTextBytes, &actual, 0, nullptr);
  if (err == JET_errSuccess) {
    appendUtf8FromUtf16Le(buffer, std::min(actual, kShortTextBytes), out);
  } else if (err != JET_wrnColumnNull) {
    // Truncation (a value over 128 characters) included: the part that
    // reached the buffer is dropped.
    failed(kRetrieveFailed, err);
  }
}

void ContactStoreReader::readLongText(JET_SESID session, JET_TABLEID table, JET_COLUMNID column,
                                      std::string& out) {
  out.clear();
  // A probe without a buffer: null and zero-length values end here; any
  // other value reports truncation and its full size.
  std::uint32_t size = 0;
  JET_ERR err = jet_.retrieveColumn(session, table, column, nullptr, 0, &size, 0, nullptr);
  if (err == JET_errSuccess || err == JET_wrnColumnNull) return;
  if (err != JET_wrnBufferTruncated) return failed(kRetrieveFailed, err);

  // The buffer only grows: filling it with zeros afresh for each value
  // would cost more than reading it.
  if (longBuffer_.size() < size) longBuffer_.resize(size);
  std::uint32_t actual = 0;
  err = jet_.retrieveColumn(session, table, column, longBuffer_.data(), size, &actual, 0, nullptr);
  if (err != JET_errSuccess) return failed(kRetrieveFailed, err);
  appendUtf8FromUtf16Le(longBuffer_.data(), std::min(actual, size), out);
}

void ContactStoreReader::readDate(JET_SESID session, JET_TABLEID table, JET_COLUMNID column,
                                  std::string& out, std::string* iso) {
  out.clear();
  if (iso != nullptr) iso->clear();
  unsigned char buffer[kDateBytes] = {};
  std::uint32_t actual = 0;
  const JET_ERR err =
      jet_.retrieveColumn(session, table, column, buffer, kDateBytes, &actual, 0, nullptr);
  if (err == JET_wrnColumnNull) return;
  if (err != JET_errSuccess) return failed(kRetrieveFailed, err);
  // A stored value of fewer than 8 bytes holds no date: empty text, like a
  // value that no calendar date matches. Neither is an engine failure.
  if (actual != kDateBytes) return;
  double days;
  static_assert(sizeof days == kDateBytes);
  std::memcpy(&days, buffer, kDateBytes);
  const auto date = dateFromOleDate(days);
  if (!date) return;
  out = dates_.format(*date);
  // A stored zero is the engine's empty date, not a day in 1899.
  if (iso != nullptr && std::trunc(days) != 0.0) *iso = isoDate(*date);
}

void ContactStoreReader::readKey(JET_SESID session, JET_TABLEID table, std::string& out) {
  // Keys are short (a few bytes for a numeric key); a failure leaves the key
  // empty and is not worth a line: the key serves the exports' identifiers
  // only, and the row itself is sound.
  out.clear();
  unsigned char buffer[kMaxKeyBytes];
  std::uint32_t actual = 0;
  if (jet_.getBookmark(session, table, buffer, sizeof buffer, &actual) == JET_errSuccess)
    out.assign(reinterpret_cast<const char*>(buffer), std::min<std::uint32_t>(actual, sizeof buffer));
}

std::string ContactStoreReader::RetrieveShortText(JET_SESID session, JET_TABLEID table,
                                                  JET_COLUMNID column) {
  std::string text;
  readShortText(session, table, column, text);
  return text;
}

std::string ContactStoreReader::RetrieveLongText(JET_SESID session, JET_TABLEID table,
                                                 JET_COLUMNID column) {
  std::string text;
  readLongText(session, table, column, text);
  return text;
}

std::string ContactStoreReader::RetrieveDate(JET_SESID session, JET_TABLEID table,
                                             JET_COLUMNID column) {
  std::string text;
  readDate(session, table, column, text);
  return text;
}

}  // namespace corvadex
