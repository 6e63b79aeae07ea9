// SPDX-License-Identifier: Apache-2.0
// The XML document, as written:
//
//   <?xml version="1.0" encoding="UTF-8"?>\n
//   <contacts><contact nick_name="..." first_name="..." ... notes="..."/>...</contacts>\n
//
// UTF-8 throughout, and said so in the declaration, so that any reader
// decodes it the same way. The root holds the "contact" elements and nothing
// else: no whitespace between them, since a reader would see that as text.
// An empty list gives "<contacts/>". Each element carries all 33 attributes
// in the master table's order, empty ones as "".
//
// Values go in exactly as the list holds them; the writer escapes &, <, >
// and ", and writes tab, LF and CR as character references (&#9; &#10;
// &#13;) because a parser normalises literal ones in an attribute to spaces.
// Characters that XML 1.0 cannot carry at all (controls other than tab, LF
// and CR, U+FFFE, U+FFFF) and malformed UTF-8 become U+FFFD, so the file is
// always well-formed.
//
// The document goes to the sink in pieces of about a megabyte (see
// export_rows.h), so memory does not grow with the number of contacts and
// the sink sees few writes.
#include "export/xml_export.h"

#include <array>
#include <string>
#include <string_view>

#include "base/output_file.h"
#include "base/processor_count.h"
#include "export/utf8_text.h"

namespace corvadex {

namespace {

// What a value's bytes become inside a double-quoted attribute: &, <, > and
// " as entities, tab, LF and CR as character references, the other controls
// (which XML 1.0 cannot carry) as U+FFFD; everything else as it is.
constexpr ByteKinds kAttributeSpecial = [] {
  ByteKinds set = escapedBytes("&<>\"", true);
  set[0x7F] = 0;  // an XML character like any other
  return set;
}();

constexpr auto escapeAttributeByte = [](std::string& out, std::string_view text, std::size_t i) -> std::size_t {
  switch (text[i]) {
    case '&': out.append("&amp;"); break;
    case '<': out.append("&lt;"); break;
    case '>': out.append("&gt;"); break;
    case '"': out.append("&quot;"); break;
    case '\t': out.append("&#9;"); break;
    case '\n': out.append("&#10;"); break;
    case '\r': out.append("&#13;"); break;
    default: out.append("\xEF\xBF\xBD"); break;
  }
  return 1;
};

// U+FFFE and U+FFFF are no XML characters; every other code point a
// well-formed sequence can hold is.
constexpr auto isXmlNonAscii = [](char32_t cp) { return cp != 0xFFFE && cp != 0xFFFF; };

}  // namespace

ExportRows xmlRows(const ContactList& list) {
  ExportRows rows;
  const bool any = list.count() > 0;
  rows.head = any ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<contacts>"
                  : "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<contacts";
  rows.tail = any ? "</contacts>\n" : "/>\n";
  rows.makeFormatter = [&list]() -> RowFormatter {
    std::array<std::string, kContactColumnCount> attributeStarts;  // ' name="'
    for (std::size_t i = 0; i < kContactColumnCount; ++i)
      attributeStarts[i] = " " + std::string(kContactColumns[i].xmlAttribute) + "=\"";
    return [&list, attributeStarts](std::size_t row, std::string& out) {
      const ContactRow& contact = list.item(row);
      out.append("<contact");
      for (std::size_t i = 0; i < kContactColumnCount; ++i) {
        out.append(attributeStarts[i]);
        appendEscapedUtf8(out, contact.Value(kContactColumns[i]), kAttributeSpecial, escapeAttributeByte,
                          isXmlNonAscii);
        out.push_back('"');
      }
      out.append("/>");
    };
  };
  return rows;
}

void writeContactsXml(const ContactList& list, ByteSink& sink, const ExportProgress& progress,
                      unsigned threads) {
  writeExportRows(xmlRows(list), list.count(), sink, progress, threads);
}

void writeContactsXml(const ContactList& list, const std::string& fileName,
                      const ExportProgress& progress) {
  OutputFile file(fileName);
  writeContactsXml(list, file, progress, processorCount());
  file.commit();
}

void writeContactsXml(const ContactList& list, const std::string& fileName) {
  writeContactsXml(list, fileName, ExportProgress{});
}

}  // namespace corvadex
