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
// The document goes to the sink in pieces of about a megabyte, so memory
// does not grow with the number of contacts and the sink sees few writes.
#include "export/xml_export.h"

#include <array>
#include <string>
#include <string_view>

#include "base/output_file.h"
#include "export/utf8_text.h"

namespace corvadex {

namespace {

bool isXmlChar(char32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// A double-quoted attribute value: &, <, > and " as entities, tab, LF and
// CR as character references; everything else as it is (UTF-8).
void appendAttributeValue(std::string& out, std::string_view value) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char* reference;
    switch (value[i]) {
      case '&': reference = "&amp;"; break;
      case '<': reference = "&lt;"; break;
      case '>': reference = "&gt;"; break;
      case '"': reference = "&quot;"; break;
      case '\t': reference = "&#9;"; break;
      case '\n': reference = "&#10;"; break;
      case '\r': reference = "&#13;"; break;
      default: continue;
    }
    out.append(value.substr(run, i - run)).append(reference);
    run = i + 1;
  }
  out.append(value.substr(run));
}

}  // namespace

void writeContactsXml(const ContactList& list, ByteSink& sink, const ExportProgress& progress) {
  constexpr std::size_t kChunk = 1 << 20;
  std::array<std::string, kContactColumnCount> attributeStarts;  // ' name="'
  for (std::size_t i = 0; i < kContactColumnCount; ++i)
    attributeStarts[i] = " " + std::string(kContactColumns[i].xmlAttribute) + "=\"";

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<contacts";
  const std::size_t count = list.count();
  if (count > 0) out.push_back('>');
  std::string value;
  for (std::size_t row = 0; row < count; ++row) {
    const ContactRow& contact = list.item(row);
    out += "<contact";
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      value.clear();
      appendSanitizedUtf8(value, contact.Value(kContactColumns[i]), [](char32_t cp) { return isXmlChar(cp); });
      out += attributeStarts[i];
      appendAttributeValue(out, value);
      out.push_back('"');
    }
    out += "/>";
    if (out.size() >= kChunk) {
      sink.write(out);
      out.clear();
    }
    reportProgress(progress, row + 1, count);
  }
  out += count > 0 ? "</contacts>\n" : "/>\n";
  sink.write(out);
}

void writeContactsXml(const ContactList& list, const std::string& fileName,
                      const ExportProgress& progress) {
  OutputFile file(fileName);
  writeContactsXml(list, file, progress);
  file.commit();
}

void writeContactsXml(const ContactList& list, const std::string& fileName) {
  writeContactsXml(list, fileName, ExportProgress{});
}

}  // namespace corvadex
