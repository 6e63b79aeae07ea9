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
// A semicolon in a value gets a backslash in 3.0, and in 4.0 only inside the
// compound values (N, ADR, ORG) and the extension properties, whose readers
// take every card as 3.0 and end a value at a bare semicolon; the other 4.0
// values leave it bare, as Thunderbird's address book needs (vcard_text.h).
//
// Readers that know the standard 4.0 properties ignore the extension ones,
// and readers that know only the extensions (Evolution reads no
// ANNIVERSARY, RELATED or IMPP) still find every value. A property appears
// only when its value is set (ADR when any part is). Dates come from the
// row's calendar dates; a null, zero or unreadable date writes nothing.
// Lines end with CRLF and are folded at 75 octets; text is UTF-8.
#include "export/vcard_export.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "corvadex_version.h"
#include "export/contact_uid.h"
#include "export/vcard_text.h"

namespace corvadex {

namespace {

using F = ContactField;

// The name Corvadex gives itself in PRODID.
constexpr std::string_view kProductId = "-//Corvadex//Corvadex " CORVADEX_VERSION "//EN";

// Writes cards into the string it is given; keeps its working space from
// card to card. One per thread.
class CardWriter {
 public:
  CardWriter(const ContactList& list, VcardVersion version)
      : list_(list), v3_(version == VcardVersion::V3), semicolons_(v3_ ? Semicolons::Escaped : Semicolons::Bare) {
    // The lines every card opens with, made once.
    out_ = &opening_;
    Plain("BEGIN:VCARD");
    Plain(v3_ ? "VERSION:3.0" : "VERSION:4.0");
    Text("PRODID", kProductId);
    out_ = nullptr;  // each card names the string it goes to
  }

  void write(std::size_t index, std::string& out) {
    row_ = &list_.item(index);
    out_ = &out;
    out.append(opening_);
    begin(v3_ ? "UID" : "UID:urn:uuid");
    appendRowUid(list_, index, out);
    end();
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
    Text("ORG", Field(F::CompanyName), Semicolons::Escaped);
    Text("TITLE", Field(F::JobTitle));
    uri(pick("URL;TYPE=HOME", "URL;TYPE=home"), Field(F::HomeWebSite));
    uri(pick("URL;TYPE=WORK", "URL;TYPE=work"), Field(F::WorkWebSite));
    dates();
    const std::string_view spouse = Field(F::SpouseName);
    if (!v3_) Text("RELATED;TYPE=spouse;VALUE=text", spouse);
    for (const char* property : {"X-EVOLUTION-SPOUSE", "X-KADDRESSBOOK-X-SpousesName"})
      Text(property, spouse, Semicolons::Escaped);
    impp(Field(F::OtherImEmail));
    Text("X-MSN", Field(F::OtherImEmail), Semicolons::Escaped);
    Text("NOTE", Field(F::Comments));
    Plain("END:VCARD");
  }

 private:
  std::string_view nick() const { return row_->Caption(); }
  std::string_view first() const { return row_->SubItem(0); }
  std::string_view middle() const { return row_->SubItem(1); }
  std::string_view last() const { return row_->SubItem(2); }
  std::string_view email() const { return row_->SubItem(3); }
  std::string_view Field(F field) const { return row_->field(field); }

  // The property's 3.0 or 4.0 form ("EMAIL;TYPE=INTERNET,HOME" or
  // "EMAIL;TYPE=home").
  std::string_view pick(std::string_view v3, std::string_view v4) const { return v3_ ? v3 : v4; }

  // FN is required and must not be empty: it is what an address book shows.
  std::string_view displayName() {
    joined_.clear();
    for (std::string_view part : {first(), middle(), last()}) {
      if (part.empty()) continue;
      if (!joined_.empty()) joined_.push_back(' ');
      joined_.append(part);
    }
    if (!joined_.empty()) return joined_;
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
    Text("FN", displayName());
    begin("N");
    appendVcardText(*out_, last());
    out_->push_back(';');
    appendVcardText(*out_, first());
    out_->push_back(';');
    appendVcardText(*out_, middle());
    out_->append(";;");
    end();
    Text("NICKNAME", nick());
  }

  void dates() {
    const std::string_view birthday = row_->calendarDate(F::Birthdate);
    const std::string_view anniversary = row_->calendarDate(F::Anniversary);
    Date("BDAY", birthday);
    if (!v3_) Date("ANNIVERSARY", anniversary);
    // The extension properties take the extended form, as their readers do.
    Text("X-ANNIVERSARY", anniversary, Semicolons::Escaped);
    Text("X-EVOLUTION-ANNIVERSARY", anniversary, Semicolons::Escaped);
  }

  // 3.0 writes "1985-04-12" (RFC 2426's own example form); 4.0 the basic
  // form "19850412" that RFC 6350's date grammar allows.
  void Date(std::string_view property, std::string_view iso) {
    if (iso.empty()) return;
    if (v3_) {
      begin(property);
      out_->append(iso);
    } else if (auto basic = vcardDateFromIso(iso)) {
      begin(property);
      out_->append(*basic);
    } else {
      return;
    }
    end();
  }

  // A text value; its semicolons as the version wants them unless the
  // property says otherwise.
  void Text(std::string_view property, std::string_view value, std::optional<Semicolons> semicolons = {}) {
    if (value.empty()) return;
    begin(property);
    appendVcardText(*out_, value, semicolons.value_or(semicolons_));
    end();
  }

  void uri(std::string_view property, std::string_view value) {
    if (value.empty()) return;
    begin(property);
    appendVcardUri(*out_, value, semicolons_);
    end();
  }

  // The address components: post office box; extended address; street;
  // locality; region; postal code; country.
  void address(std::string_view property, std::initializer_list<F> parts) {
    bool any = false;
    for (F part : parts) any = any || !Field(part).empty();
    if (!any) return;
    begin(property);
    out_->append(";;");
    bool first = true;
    for (F part : parts) {
      if (!first) out_->push_back(';');
      first = false;
      appendVcardText(*out_, Field(part));
    }
    end();
  }

  // IMPP holds a URI. Addresses in this address book are Windows Live
  // Messenger addresses, whose URI scheme is "msnim:"; a value that already
  // names a scheme is kept as it is.
  void impp(std::string_view value) {
    if (value.empty()) return;
    begin("IMPP");
    if (!hasUriScheme(value)) out_->append("msnim:");
    appendVcardUri(*out_, value, semicolons_);
    end();
  }

  // A content line is written in place: "PROPERTY:" and the value, then
  // folded if it came out longer than a line may be.
  void begin(std::string_view property) {
    lineStart_ = out_->size();
    out_->append(property).push_back(':');
  }
  void end() { foldLastLine(*out_, lineStart_, folding_); }
  void Plain(std::string_view text) { appendFoldedLine(*out_, text); }

  const ContactList& list_;
  bool v3_;
  Semicolons semicolons_;  // in the values that are not compound
  const ContactRow* row_ = nullptr;
  std::string* out_ = nullptr;
  std::size_t lineStart_ = 0;
  std::string opening_, joined_, folding_;
};

}  // namespace

std::string productId() { return std::string(kProductId); }

void appendRowUid(const ContactList& list, std::size_t index, std::string& out) {
  const std::string_view key = list.item(index).recordKey();
  if (!key.empty()) return appendContactUid(out, list.sourceIdentity(), key);
  appendContactUid(out, list.sourceIdentity(), "row " + std::to_string(index));
}

std::string rowUid(const ContactList& list, std::size_t index) {
  std::string uid;
  appendRowUid(list, index, uid);
  return uid;
}

void appendContactVcard(const ContactList& list, std::size_t index, VcardVersion version, std::string& out) {
  CardWriter(list, version).write(index, out);
}

ExportRows vcardRows(const ContactList& list, VcardVersion version) {
  ExportRows rows;
  rows.makeFormatter = [&list, version]() -> RowFormatter {
    return [writer = CardWriter(list, version)](std::size_t row, std::string& out) mutable { writer.write(row, out); };
  };
  return rows;
}

void writeContactsVcard(const ContactList& list, ByteSink& sink, VcardVersion version,
                        const ExportProgress& progress, unsigned threads) {
  writeExportRows(vcardRows(list, version), list.count(), sink, progress, threads);
}

}  // namespace corvadex
