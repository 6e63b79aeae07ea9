// SPDX-License-Identifier: Apache-2.0
// CSV as RFC 4180 gives it: records end with CRLF (the last one too), fields
// are separated by commas, and a field holding a comma, a double quote, CR or
// LF is enclosed in double quotes with each double quote doubled. Line
// breaks inside a value are kept as they are, inside the quotes.
//
// The text is UTF-8 without a byte order mark (a mark would become part of
// the first header name for most readers); malformed UTF-8 in a value
// becomes U+FFFD. Nothing else is changed: a field reads back exactly as the
// list holds it.
#include "export/csv_export.h"

#include <array>
#include <string>

#include "export/utf8_text.h"

namespace corvadex {

namespace {

constexpr ByteKinds kNone = escapedBytes("");

// Per byte: 1 when it makes a field need quotes (comma, double quote, CR,
// LF), 2 when it is part of a non-ASCII sequence.
constexpr ByteKinds kFieldBytes = escapedBytes(",\"\r\n");

constexpr auto keepAll = [](char32_t) { return true; };

}  // namespace

void appendCsvField(std::string& line, std::string_view value, std::string& scratch) {
  // One look at the bytes: whether the field needs quotes, and whether it
  // holds anything beyond ASCII that must be checked for malformed UTF-8.
  unsigned flags = 0;
  for (char c : value) flags |= kFieldBytes[static_cast<unsigned char>(c)];
  std::string_view clean = value;
  if ((flags & 2) != 0 && !isCleanUtf8(value)) {
    // U+FFFD in place of a malformed sequence adds no byte that needs quotes.
    scratch.clear();
    appendEscapedUtf8(scratch, value, kNone, [](std::string&, std::string_view, std::size_t) { return std::size_t{1}; },
                      keepAll);
    clean = scratch;
  }
  if ((flags & 1) == 0) {
    line.append(clean);
    return;
  }
  // Inside quotes a quote is doubled; everything else goes in as it is.
  line.push_back('"');
  std::size_t run = 0;
  for (std::size_t mark; (mark = clean.find('"', run)) != std::string_view::npos; run = mark + 1)
    line.append(clean.substr(run, mark + 1 - run)).push_back('"');
  line.append(clean.substr(run)).push_back('"');
}

void appendCsvRecord(std::string& out, std::span<const std::string_view> fields, std::string& scratch) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.push_back(',');
    appendCsvField(out, fields[i], scratch);
  }
  out.append("\r\n");
}

ExportRows csvRows(const ContactList& list) {
  ExportRows rows;
  std::string scratch;
  std::array<std::string_view, kContactColumnCount> names;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) names[i] = kContactColumns[i].xmlAttribute;
  appendCsvRecord(rows.head, names, scratch);
  rows.makeFormatter = [&list]() -> RowFormatter {
    return [&list, scratch = std::string()](std::size_t row, std::string& out) mutable {
      const ContactRow& contact = list.item(row);
      std::array<std::string_view, kContactColumnCount> values;
      for (std::size_t i = 0; i < kContactColumnCount; ++i) values[i] = contact.Value(kContactColumns[i]);
      appendCsvRecord(out, values, scratch);
    };
  };
  return rows;
}

void writeContactsCsv(const ContactList& list, ByteSink& sink, const ExportProgress& progress, unsigned threads) {
  writeExportRows(csvRows(list), list.count(), sink, progress, threads);
}

}  // namespace corvadex
