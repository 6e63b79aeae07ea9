// One card per contact:
//
//   BEGIN:VCARD
//   VERSION:4.0
//   FN:Ann B. Smith                      first, middle and last name; else the
//                                        nickname, company or an e-mail address
//   N:Smith;Ann;B.;;                     family;given;additional;prefix;suffix
//   NICKNAME:Annie
//   EMAIL;TYPE=home:...                  personal e-mail
//   EMAIL;TYPE=work:...
//   EMAIL;TYPE=other:...
//   EMAIL;TYPE=x-wlm:...                 the Windows Live address
//   TEL;TYPE=home,voice / work,voice / cell / voice (other phone) / pager / home,fax
//   ADR;TYPE=home:;;street;city;state;zip;country
//   ADR;TYPE=work:;;street;city;state;zip;country
//   ORG:company
//   TITLE:job title
//   URL;TYPE=home / URL;TYPE=work
//   BDAY:19850412                        basic ISO 8601; a date the list holds
//   ANNIVERSARY:20010630                 in another form goes as VALUE=text
//   RELATED;TYPE=spouse;VALUE=text:...   significant other
//   IMPP:...                             other IM address; a bare address gets
//                                        the Messenger scheme "msnim:"
//   NOTE:...
//   END:VCARD
//
// A property appears only when its value is not empty (FN and N always do;
// ADR when any of its parts is set). Lines end with CRLF and are folded at
// 75 octets. Text is UTF-8.
#include "export/vcard_export.h"

#include <initializer_list>
#include <string>

#include "export/vcard_text.h"

namespace corvadex {

namespace {

using F = ContactField;

class CardWriter {
 public:
  CardWriter(const ContactRow& row, std::string& out) : row_(row), out_(out) {}

  void Write() {
    Line("BEGIN:VCARD");
    Line("VERSION:4.0");
    WriteNames();
    Text("EMAIL;TYPE=home", Email());
    Text("EMAIL;TYPE=work", Field(F::WorkEmail));
    Text("EMAIL;TYPE=other", Field(F::OtherEmail));
    Text("EMAIL;TYPE=x-wlm", Field(F::UnresolvedEmail));
    Text("TEL;TYPE=home,voice", Field(F::HomePhone));
    Text("TEL;TYPE=work,voice", Field(F::WorkPhone));
    Text("TEL;TYPE=cell", Field(F::MobilePhone));
    Text("TEL;TYPE=voice", Field(F::OtherPhone));
    Text("TEL;TYPE=pager", Field(F::Pager));
    Text("TEL;TYPE=home,fax", Field(F::HomeFax));
    Address("ADR;TYPE=home", {F::HomeStreet, F::HomeCity, F::HomeState, F::HomeZipCode, F::HomeCountry});
    Address("ADR;TYPE=work", {F::WorkStreet, F::WorkCity, F::WorkState, F::WorkZipCode, F::WorkCountry});
    Text("ORG", Field(F::CompanyName));
    Text("TITLE", Field(F::JobTitle));
    Uri("URL;TYPE=home", Field(F::HomeWebSite));
    Uri("URL;TYPE=work", Field(F::WorkWebSite));
    Date("BDAY", Field(F::Birthdate));
    Date("ANNIVERSARY", Field(F::Anniversary));
    Text("RELATED;TYPE=spouse;VALUE=text", Field(F::SpouseName));
    Impp(Field(F::OtherImEmail));
    Text("NOTE", Field(F::Comments));
    Line("END:VCARD");
  }

 private:
  std::string_view Nick() const { return row_.Caption(); }
  std::string_view First() const { return row_.SubItem(0); }
  std::string_view Middle() const { return row_.SubItem(1); }
  std::string_view Last() const { return row_.SubItem(2); }
  std::string_view Email() const { return row_.SubItem(3); }
  std::string_view Field(F field) const {
    const TContactData* data = row_.Data();
    return data ? data->get(field) : std::string_view{};
  }

  // FN is required; it is the name as people say it, or failing any name
  // part, whatever else identifies the contact.
  void WriteNames() {
    std::string fn;
    for (std::string_view part : {First(), Middle(), Last()}) {
      if (part.empty()) continue;
      if (!fn.empty()) fn.push_back(' ');
      fn.append(part);
    }
    if (fn.empty()) {
      for (std::string_view other : {Nick(), Field(F::CompanyName), Email(), Field(F::WorkEmail),
                                     Field(F::OtherEmail), Field(F::UnresolvedEmail)}) {
        if (!other.empty()) {
          fn = other;
          break;
        }
      }
    }
    line_ = "FN:";
    AppendVcardText(line_, fn);
    Flush();

    line_ = "N:";
    AppendVcardText(line_, Last());
    line_ += ';';
    AppendVcardText(line_, First());
    line_ += ';';
    AppendVcardText(line_, Middle());
    line_ += ";;";
    Flush();

    Text("NICKNAME", Nick());
  }

  void Text(std::string_view property, std::string_view value) {
    if (value.empty()) return;
    line_ = property;
    line_ += ':';
    AppendVcardText(line_, value);
    Flush();
  }

  void Uri(std::string_view property, std::string_view value) {
    if (value.empty()) return;
    line_ = property;
    line_ += ':';
    AppendVcardUri(line_, value);
    Flush();
  }

  // The address components: post office box; extended address; street;
  // locality; region; postal code; country.
  void Address(std::string_view property, std::initializer_list<F> parts) {
    bool any = false;
    for (F part : parts) any = any || !Field(part).empty();
    if (!any) return;
    line_ = property;
    line_ += ":;;";
    bool first = true;
    for (F part : parts) {
      if (!first) line_ += ';';
      first = false;
      AppendVcardText(line_, Field(part));
    }
    Flush();
  }

  void Date(std::string_view property, std::string_view value) {
    if (value.empty()) return;
    if (auto basic = VcardDateFromIso(value)) {
      line_ = property;
      line_ += ':';
      line_ += *basic;
      Flush();
    } else {
      line_ = property;
      line_ += ";VALUE=text:";
      AppendVcardText(line_, value);
      Flush();
    }
  }

  // IMPP holds a URI. Addresses in this address book are Windows Live
  // Messenger addresses, whose URI scheme is "msnim:"; a value that already
  // names a scheme is kept as it is.
  void Impp(std::string_view value) {
    if (value.empty()) return;
    line_ = "IMPP:";
    if (!HasUriScheme(value)) line_ += "msnim:";
    AppendVcardUri(line_, value);
    Flush();
  }

  void Line(std::string_view text) { AppendFoldedLine(out_, text); }
  void Flush() { AppendFoldedLine(out_, line_); }

  const ContactRow& row_;
  std::string& out_;
  std::string line_;
};

}  // namespace

void WriteContactsVcard(const ContactList& list, ByteSink& sink, const ExportProgress& progress) {
  std::string card;
  const std::size_t count = list.Count();
  for (std::size_t row = 0; row < count; ++row) {
    card.clear();
    CardWriter(list.Item(row), card).Write();
    sink.Write(card);
    ReportProgress(progress, row + 1, count);
  }
}

}  // namespace corvadex
