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
// The document is streamed with libxml2's text writer, so memory does not
// grow with the number of contacts.
#include "export/xml_export.h"

#include <array>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include <libxml/xmlerror.h>
#include <libxml/xmlwriter.h>

#include "base/output_file.h"
#include "export/utf8_text.h"

namespace corvadex {

namespace {

bool IsXmlChar(char32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// Carries the sink and the first failure across libxml2's C callbacks, which
// must not be left by an exception.
struct OutputContext {
  ByteSink* sink;
  std::exception_ptr failure;
};

int WriteCallback(void* context, const char* buffer, int length) {
  auto* out = static_cast<OutputContext*>(context);
  if (out->failure) return -1;
  try {
    out->sink->Write(std::string_view(buffer, static_cast<std::size_t>(length)));
    return length;
  } catch (...) {
    out->failure = std::current_exception();
    return -1;
  }
}

int CloseCallback(void*) { return 0; }

// Keeps libxml2's own error messages off standard error while the export
// runs and remembers the last one for the exception's text.
class ErrorCapture {
 public:
  ErrorCapture() : previous_(xmlStructuredError), previousContext_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(this, &ErrorCapture::Handle);
  }
  ~ErrorCapture() { xmlSetStructuredErrorFunc(previousContext_, previous_); }
  ErrorCapture(const ErrorCapture&) = delete;
  ErrorCapture& operator=(const ErrorCapture&) = delete;

  const std::string& Message() const { return message_; }

 private:
  static void Handle(void* self, xmlErrorPtr error) {
    if (error == nullptr || error->message == nullptr) return;
    std::string text = error->message;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    static_cast<ErrorCapture*>(self)->message_ = std::move(text);
  }

  xmlStructuredErrorFunc previous_;
  void* previousContext_;
  std::string message_;
};

struct WriterDeleter {
  void operator()(xmlTextWriterPtr writer) const { xmlFreeTextWriter(writer); }
};

const xmlChar* Xml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

class DocumentWriter {
 public:
  explicit DocumentWriter(ByteSink& sink) : context_{&sink, nullptr} {
    xmlOutputBufferPtr out = xmlOutputBufferCreateIO(WriteCallback, CloseCallback, &context_, nullptr);
    if (out == nullptr) fail();
    writer_.reset(xmlNewTextWriter(out));
    if (!writer_) {
      xmlOutputBufferClose(out);
      fail();
    }
  }

  // Each libxml2 call's result goes through here: negative is a failure.
  void check(int result) {
    if (result < 0) fail();
  }

  xmlTextWriterPtr get() const { return writer_.get(); }

  // The sink's own error (the system's description, with the file name)
  // when the failure was a write; otherwise libxml2's message.
  [[noreturn]] void fail() {
    if (context_.failure) std::rethrow_exception(context_.failure);
    const std::string& message = errors_.Message();
    throw std::runtime_error(context_.sink->Name() + ": " +
                             (message.empty() ? std::string("the XML writer failed") : message));
  }

 private:
  ErrorCapture errors_;
  OutputContext context_;
  std::unique_ptr<xmlTextWriter, WriterDeleter> writer_;
};

}  // namespace

void WriteContactsXml(const ContactList& list, ByteSink& sink, const ExportProgress& progress) {
  // Attribute names as C strings, once.
  std::array<std::string, kContactColumnCount> names;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) names[i] = kContactColumns[i].xmlAttribute;

  DocumentWriter doc(sink);
  xmlTextWriterPtr w = doc.get();
  doc.check(xmlTextWriterStartDocument(w, "1.0", "UTF-8", nullptr));
  doc.check(xmlTextWriterStartElement(w, Xml("contacts")));

  const std::size_t count = list.Count();
  std::string value;
  for (std::size_t row = 0; row < count; ++row) {
    const ContactRow& contact = list.Item(row);
    doc.check(xmlTextWriterStartElement(w, Xml("contact")));
    for (std::size_t i = 0; i < kContactColumnCount; ++i) {
      value.clear();
      AppendSanitizedUtf8(value, contact.Value(kContactColumns[i]), [](char32_t cp) { return IsXmlChar(cp); });
      doc.check(xmlTextWriterWriteAttribute(w, Xml(names[i].c_str()), Xml(value.c_str())));
    }
    doc.check(xmlTextWriterEndElement(w));
    ReportProgress(progress, row + 1, count);
  }

  doc.check(xmlTextWriterEndElement(w));
  doc.check(xmlTextWriterEndDocument(w));
  doc.check(xmlTextWriterFlush(w));
}

void WriteContactsXml(const ContactList& list, const std::string& fileName,
                      const ExportProgress& progress) {
  OutputFile file(fileName);
  WriteContactsXml(list, file, progress);
  file.Commit();
}

void WriteContactsXml(const ContactList& list, const std::string& fileName) {
  WriteContactsXml(list, fileName, ExportProgress{});
}

}  // namespace corvadex
