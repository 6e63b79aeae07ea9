// SPDX-License-Identifier: Apache-2.0
// One card per contact; the properties, with their 3.0 / 4.0 forms:
//
//   BEGIN:VCARD
//   VERSION:3.0 / 4.0
//   PRODID:-//Corvadex//Corvadex 1.0//EN
//   UID:<uuid> / UID:urn:uuid:<uuid>         see contact_uid.h
//   FN:Ann B. Smith          never empty: the names, else the nickname, the
//                            company, the first e-mail address, the first
//                            phone number, the IM address, a web site
//   N:Smith;Ann;B.;;         family;given;additional;prefix;suffix
//   NICKNAME
//   EMAIL;TYPE=INTERNET,HOME / home   personal; WORK / work; OTHER / other;
//                            X-WLM / x-wlm for the Windows Live address
//   TEL;TYPE=HOME,VOICE / home,voice   and WORK,VOICE; CELL; VOICE (other
//                            phone); PAGER; HOME,FAX
//   ADR;TYPE=HOME / home:;;street;city;state;zip;country   (and WORK)
//   ORG, TITLE
//   URL;TYPE=HOME / home  and WORK / work
//   BDAY:1985-04-12 / BDAY:19850412   (4.0 takes ISO 8601's basic form)
//   ANNIVERSARY:20010630                 4.0 only
//   X-ANNIVERSARY:2001-06-30             3.0 (several readers; also 4.0)
//   X-EVOLUTION-ANNIVERSARY:2001-06-30   Evolution (3.0 and 4.0)
//   RELATED;TYPE=spouse;VALUE=text:...   4.0 only
//   X-EVOLUTION-SPOUSE, X-KADDRESSBOOK-X-SpousesName   Evolution, KAddressBook
//                                        (3.0 and 4.0)
//   IMPP:msnim:...           RFC 4770 for 3.0, RFC 6350 for 4.0; a bare
//                            address gets the Messenger scheme
//   X-MSN:...                the address as stored (Evolution, KAddressBook)
//   NOTE                     with its line breaks
//   END:VCARD
//
// Readers that know the standard 4.0 properties ignore the extension ones,
// and readers that know only the extensions (Evolution reads no
// ANNIVERSARY, RELATED or IMPP) still find every value. A property appears
// only when its value is set (ADR when any part is). Dates come from the
// row's calendar dates; a null, zero or unreadable date writes nothing.
// Lines end with CRLF and are folded at 75 octets; text is UTF-8.
#include "export/vcard_export.h"

#include <initializer_list>
#include <string>

#include "corvadex_version.h"
#include "export/contact_uid.h"
#include "export/vcard_text.h"

namespace corvadex {

namespace {

using F = ContactField;

class CardWriter {
 public:
  CardWriter(const ContactRow& row, VcardVersion version, std::string uid, std::string& out)
      : row_(row), v3_(version == VcardVersion::V3), uid_(std::move(uid)), out_(out) {}

  void write() {
    line("BEGIN:VCARD");
    line(v3_ ? "VERSION:3.0" : "VERSION:4.0");
    Text("PRODID", productId());
    line_ = v3_ ? "UID:" : "UID:urn:uuid:";
    line_ += uid_;
    flush();
    writeNames();
    Text(pick("EMAIL;TYPE=INTERNET,HOME", "EMAIL;TYPE=home"), email());
    Text(pick("EMAIL;TYPE=INTERNET,WORK", "EMAIL;TYPE=work"), Field(F::WorkEmail));
    Text(pick("EMAIL;TYPE=INTERNET,OTHER", "EMAIL;TYPE=other"), Field(F::OtherEmail));
    Text(pick("EMAIL;TYPE=INTERNET,X-WLM", "EMAIL;TYPE=x-wlm"), Field(F::UnresolvedEmail));
    Text(pick("TEL;TYPE=HOME,VOICE", "TEL;TYPE=home,voice"), Field(F::HomePhone));
    Text(pick("TEL;TYPE=WORK,VOICE", "TEL;TYPE=work,voice"), Field(F::WorkPhone));
    Text(pick("TEL;TYPE=CELL", "TEL;TYPE=cell"), Field(F::MobilePhone));
    Text(pick("TEL;TYPE=VOICE", "TEL;TYPE=voice"), Field(F::OtherPhone));
    Text(pick("TEL;TYPE=PAGER", "TEL;TYPE=pager"), Field(F::Pager));
    Text(pick("TEL;TYPE=HOME,FAX", "TEL;TYPE=home,fax"), Field(F::HomeFax));
    address(pick("ADR;TYPE=HOME", "ADR;TYPE=home"), {F::HomeStreet, F::HomeCity, F::HomeState, F::HomeZipCode, F::HomeCountry});
    address(pick("ADR;TYPE=WORK", "ADR;TYPE=work"), {F::WorkStreet, F::WorkCity, F::WorkState, F::WorkZipCode, F::WorkCountry});
    Text("ORG", Field(F::CompanyName));
    Text("TITLE", Field(F::JobTitle));
    uri(pick("URL;TYPE=HOME", "URL;TYPE=home"), Field(F::HomeWebSite));
    uri(pick("URL;TYPE=WORK", "URL;TYPE=work"), Field(F::WorkWebSite));
    dates();
    const std::string_view spouse = Field(F::SpouseName);
    if (!v3_) Text("RELATED;TYPE=spouse;VALUE=text", spouse);
    for (const char* property : {"X-EVOLUTION-SPOUSE", "X-KADDRESSBOOK-X-SpousesName"})
      Text(property, spouse);
    impp(Field(F::OtherImEmail));
    Text("X-MSN", Field(F::OtherImEmail));
    Text("NOTE", Field(F::Comments));
    line("END:VCARD");
  }

 private:
  std::string_view nick() const { return row_.Caption(); }
  std::string_view first() const { return row_.SubItem(0); }
  std::string_view middle() const { return row_.SubItem(1); }
  std::string_view last() const { return row_.SubItem(2); }
  std::string_view email() const { return row_.SubItem(3); }
  std::string_view Field(F field) const { return row_.field(field); }

  // The property's 3.0 or 4.0 form ("EMAIL;TYPE=INTERNET,HOME" or
  // "EMAIL;TYPE=home").
  std::string_view pick(std::string_view v3, std::string_view v4) const { return v3_ ? v3 : v4; }

  // FN is required and must not be empty: it is what an address book shows.
  std::string_view displayName(std::string& joined) const {
    for (std::string_view part : {first(), middle(), last()}) {
      if (part.empty()) continue;
      if (!joined.empty()) joined.push_back(' ');
      joined.append(part);
    }
    if (!joined.empty()) return joined;
    for (std::string_view other :
         {nick(), Field(F::CompanyName), email(), Field(F::WorkEmail), Field(F::OtherEmail),
          Field(F::UnresolvedEmail), Field(F::HomePhone), Field(F::WorkPhone), Field(F::MobilePhone),
          Field(F::OtherPhone), Field(F::Pager), Field(F::HomeFax), Field(F::OtherImEmail),
          Field(F::HomeWebSite), Field(F::WorkWebSite)}) {
      if (!other.empty()) return other;
    }
    return "(no name)";
  }

  void writeNames() {
    std::string joined;
    Text("FN", displayName(joined));
    line_ = "N:";
    appendVcardText(line_, last());
    line_ += ';';
    appendVcardText(line_, first());
    line_ += ';';
    appendVcardText(line_, middle());
    line_ += ";;";
    flush();
    Text("NICKNAME", nick());
  }

  void dates() {
    const std::string_view birthday = row_.calendarDate(F::Birthdate);
    const std::string_view anniversary = row_.calendarDate(F::Anniversary);
    Date("BDAY", birthday);
    if (!v3_) Date("ANNIVERSARY", anniversary);
    // The extension properties take the extended form, as their readers do.
    Text("X-ANNIVERSARY", anniversary);
    Text("X-EVOLUTION-ANNIVERSARY", anniversary);
  }

  // 3.0 writes "1985-04-12" (RFC 2426's own example form); 4.0 the basic
  // form "19850412" that RFC 6350's date grammar allows.
  void Date(std::string_view property, std::string_view iso) {
    if (iso.empty()) return;
    line_ = property;
    line_ += ':';
    if (v3_) {
      line_ += iso;
    } else if (auto basic = vcardDateFromIso(iso)) {
      line_ += *basic;
    } else {
      return;
    }
    flush();
  }

  void Text(std::string_view property, std::string_view value) {
    if (value.empty()) return;
    line_ = property;
    line_ += ':';
    appendVcardText(line_, value);
    flush();
  }

  void uri(std::string_view property, std::string_view value) {
    if (value.empty()) return;
    line_ = property;
    line_ += ':';
    appendVcardUri(line_, value);
    flush();
  }

  // The address components: post office box; extended address; street;
  // locality; region; postal code; country.
  void address(std::string_view property, std::initializer_list<F> parts) {
    bool any = false;
    for (F part : parts) any = any || !Field(part).empty();
    if (!any) return;
    line_ = property;
    line_ += ":;;";
    bool first = true;
    for (F part : parts) {
      if (!first) line_ += ';';
      first = false;
      appendVcardText(line_, Field(part));
    }
    flush();
  }

  // IMPP holds a URI. Addresses in this address book are Windows Live
  // Messenger addresses, whose URI scheme is "msnim:"; a value that already
  // names a scheme is kept as it is.
  void impp(std::string_view value) {
    if (value.empty()) return;
    line_ = "IMPP:";
    if (!hasUriScheme(value)) line_ += "msnim:";
    appendVcardUri(line_, value);
    flush();
  }

  void line(std::string_view text) { appendFoldedLine(out_, text); }
  void flush() { appendFoldedLine(out_, line_); }

  const ContactRow& row_;
  bool v3_;
  std::string uid_;
  std::string& out_;
  std::string line_;
};

}  // namespace

std::string productId() { return "-//Corvadex//Corvadex " CORVADEX_VERSION "//EN"; }

std::string rowUid(const ContactList& list, std::size_t index) {
  const std::string_view key = list.item(index).recordKey();
  if (!key.empty()) return contactUid(list.sourceIdentity(), key);
  return contactUid(list.sourceIdentity(), "row " + std::to_string(index));
}

void appendContactVcard(const ContactList& list, std::size_t index, VcardVersion version, std::string& out) {
  CardWriter(list.item(index), version, rowUid(list, index), out).write();
}

void writeContactsVcard(const ContactList& list, ByteSink& sink, VcardVersion version,
                        const ExportProgress& progress) {
  // Cards are gathered into pieces of about 64 KiB before they go to the sink.
  std::string buffer;
  buffer.reserve(80 * 1024);
  const std::size_t count = list.count();
  for (std::size_t row = 0; row < count; ++row) {
    appendContactVcard(list, row, version, buffer);
    if (buffer.size() >= 64 * 1024) {
      sink.write(buffer);
      buffer.clear();
    }
    reportProgress(progress, row + 1, count);
  }
  if (!buffer.empty()) sink.write(buffer);
}

}  // namespace corvadex
