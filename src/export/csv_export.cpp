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

#include <string>

#include "export/utf8_text.h"

namespace corvadex {

namespace {

bool needsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

void appendCsvField(std::string& line, std::string_view value, std::string& scratch) {
  scratch.clear();
  appendSanitizedUtf8(scratch, value, [](char32_t) { return true; });
  if (!needsQuotes(scratch)) {
    line += scratch;
    return;
  }
  // Inside quotes a quote is doubled; everything else goes in as it is.
  line.push_back('"');
  std::size_t run = 0;
  for (std::size_t quote; (quote = scratch.find('"', run)) != std::string::npos; run = quote + 1)
    line.append(scratch, run, quote + 1 - run).push_back('"');
  line.append(scratch, run, std::string::npos).push_back('"');
}

void writeContactsCsv(const ContactList& list, ByteSink& sink, const ExportProgress& progress) {
  std::string line;
  std::string scratch;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    if (i > 0) line.push_back(',');
    appendCsvField(line, kContactColumns[i].xmlAttribute, scratch);
  }
  line += "\r\n";
  sink.write(line);

  const std::size_t count = list.count();
  for (std::size_t row = 0; row < count; ++row) {
    const ContactRow& contact = list.item(row);
    line.clear();
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      if (i > 0) line.push_back(',');
      appendCsvField(line, contact.Value(kContactColumns[i]), scratch);
    }
    line += "\r\n";
    sink.write(line);
    reportProgress(progress, row + 1, count);
  }
}

}  // namespace corvadex
