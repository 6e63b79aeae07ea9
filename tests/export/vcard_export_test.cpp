// SPDX-License-Identifier: Apache-2.0
#include "export/vcard_export.h"

#include <gtest/gtest.h>

#include "base/hex.h"

#include "export/contact_uid.h"
#include "export/sha1.h"
#include "export/vcard_text.h"
#include "test_support.h"

namespace corvadex {
namespace {

using test::addContact;
using test::columnIndex;
using test::ContactValues;

std::string toVcard(const ContactList& list, VcardVersion version) {
  StringSink sink;
  writeContactsVcard(list, sink, version);
  return sink.Text();
}

std::string escaped(std::string_view value) {
  std::string out;
  appendVcardText(out, value);
  return out;
}

std::string hex(const Sha1::Digest& d) {
  std::string s;
  appendHex(s, d);
  return s;
}

// The examples of FIPS 180-4 (one block, two blocks, a million bytes) and
// the empty message.
TEST(Sha1, StandardTestVectors) {
  EXPECT_EQ(hex(Sha1::of("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(hex(Sha1::of("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(hex(Sha1::of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  Sha1 million;
  for (int i = 0; i < 1000; ++i) million.update(std::string(1000, 'a'));  // in pieces
  EXPECT_EQ(hex(million.finish()), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(ContactUid, NameBasedUuidVersion5) {
  // RFC 4122's DNS namespace and "www.example.com", as other implementations give it.
  const char dns[16] = {'\x6b', '\xa7', '\xb8', '\x10', '\x9d', '\xad', '\x11', '\xd1',
                        '\x80', '\xb4', '\x00', '\xc0', '\x4f', '\xd4', '\x30', '\xc8'};
  EXPECT_EQ(nameBasedUuid(std::string_view(dns, 16), "www.example.com"), "2ed6657d-e927-568b-95e1-2665a8aea6a2");
  // The same database and key give the same identifier; another database or key another.
  const std::string a = contactUid("database one", std::string("\x00\x01", 2));
  EXPECT_EQ(a, contactUid("database one", std::string("\x00\x01", 2)));
  EXPECT_NE(a, contactUid("database two", std::string("\x00\x01", 2)));
  EXPECT_NE(a, contactUid("database one", std::string("\x00\x02", 2)));
  EXPECT_EQ(a[14], '5');
}

TEST(VcardText, ReservedCharactersAndLineBreaksAreEscaped) {
  EXPECT_EQ(escaped("a\\b,c;d"), "a\\\\b\\,c\\;d");
  EXPECT_EQ(escaped("1\r\n2\n3\r4"), "1\\n2\\n3\\n4");
  EXPECT_EQ(escaped("tab\tstays"), "tab\tstays");
  EXPECT_EQ(escaped(std::string("bell\x07") + "nul" + std::string(1, '\0')),
            "bell\xEF\xBF\xBDnul\xEF\xBF\xBD");
  std::string uri;
  appendVcardUri(uri, "http://x.y/a b,c;d\\e\n");
  EXPECT_EQ(uri, "http://x.y/a%20b\\,c\\;d\\\\e%0A");
}

// Splits folded output back into physical lines (without their CRLF).
std::vector<std::string> physicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "output does not end with CRLF";
  return lines;
}

TEST(VcardText, LongLinesFoldAt75OctetsWithoutSplittingCharacters) {
  // Two-, three- and four-byte characters, so that folds fall inside them.
  std::string line = "NOTE:";
  for (int i = 0; i < 40; ++i) line += "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  std::string out;
  appendFoldedLine(out, line);
  const auto lines = physicalLines(out);
  ASSERT_GT(lines.size(), 5u);
  std::string unfolded;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 75u) << "line " << i;
    if (i > 0) {
      ASSERT_EQ(lines[i][0], ' ');
      EXPECT_NE(static_cast<unsigned char>(lines[i][1]) & 0xC0, 0x80) << "line " << i << " starts mid-character";
      EXPECT_GE(lines[i].size(), 72u - (i + 1 == lines.size() ? 72u : 0u));
    }
    unfolded += i == 0 ? lines[i] : lines[i].substr(1);
  }
  EXPECT_EQ(unfolded, line);

  out.clear();
  appendFoldedLine(out, std::string(75, 'x'));
  EXPECT_EQ(out, std::string(75, 'x') + "\r\n");
  out.clear();
  appendFoldedLine(out, std::string(76, 'x'));
  EXPECT_EQ(out, std::string(75, 'x') + "\r\n x\r\n");
}

TEST(VcardText, OnlyRealIsoDatesBecomeVcardDates) {
  EXPECT_EQ(vcardDateFromIso("1985-04-12"), "19850412");
  EXPECT_EQ(vcardDateFromIso("2000-02-29"), "20000229");
  for (const char* bad : {"1900-02-29", "2023-02-29", "2023-13-01", "2023-00-10", "2023-04-31", "2023-04-00",
                          "12/04/1985", "1985-4-12", "1985-04-12 ", "19850412", ""})
    EXPECT_FALSE(vcardDateFromIso(bad).has_value()) << bad;
}

// A contact with nothing at all still gets every required property and a
// display name; the identifier differs from row to row.
TEST(VcardExport, EmptyContactGetsTheRequiredProperties) {
  ContactList list;
  EXPECT_EQ(toVcard(list, VcardVersion::V3), "");
  addContact(list, ContactValues{});
  addContact(list, ContactValues{});
  const std::string prodid = "PRODID:" + productId() + "\r\n";
  EXPECT_EQ(toVcard(list, VcardVersion::V3).substr(0, toVcard(list, VcardVersion::V3).size() / 2),
            "BEGIN:VCARD\r\nVERSION:3.0\r\n" + prodid + "UID:" + rowUid(list, 0) +
                "\r\nFN:(no name)\r\nN:;;;;\r\nEND:VCARD\r\n");
  EXPECT_EQ(toVcard(list, VcardVersion::V4).substr(0, toVcard(list, VcardVersion::V4).size() / 2),
            "BEGIN:VCARD\r\nVERSION:4.0\r\n" + prodid + "UID:urn:uuid:" + rowUid(list, 0) +
                "\r\nFN:(no name)\r\nN:;;;;\r\nEND:VCARD\r\n");
  EXPECT_NE(rowUid(list, 0), rowUid(list, 1));
  EXPECT_NE(productId().find("Corvadex"), std::string::npos);
}

std::string lineOf(const std::string& card, const std::string& property) {
  const std::size_t at = card.find("\r\n" + property);
  if (at == std::string::npos) return "";
  return card.substr(at + 2, card.find("\r\n", at + 2) - at - 2);
}

TEST(VcardExport, DisplayNameFallsBackInOrder) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> values;
    const char* fn;
  } cases[] = {
      {{{"first_name", "Ann"}, {"middle_name", "B."}, {"last_name", "Smith"}, {"nick_name", "Annie"}}, "Ann B. Smith"},
      {{{"last_name", "Smith"}, {"company", "Acme"}}, "Smith"},
      {{{"nick_name", "Annie"}, {"company", "Acme"}}, "Annie"},
      {{{"company", "Acme"}, {"work_email", "w@x"}}, "Acme"},
      {{{"other_email", "o@x"}, {"work_email", "w@x"}, {"home_phone", "1"}}, "w@x"},
      {{{"pager", "9"}, {"mobile_phone", "3"}}, "3"},
  };
  for (const Case& c : cases) {
    ContactValues v{};
    for (const auto& [attribute, value] : c.values) v[columnIndex(attribute)] = value;
    ContactList list;
    addContact(list, v);
    EXPECT_EQ(lineOf(toVcard(list, VcardVersion::V3), "FN:"), std::string("FN:") + c.fn);
  }
}

// Dates come from the row's calendar dates (a zero date has none): 3.0 in
// the extended form, 4.0 in the basic form, the extensions in both.
TEST(VcardExport, DatesAndTheExtensionProperties) {
  ContactValues v{};
  v[columnIndex("significant_other")] = "Bob";
  v[columnIndex("other_im_address")] = "ann@messenger.example";
  v[columnIndex("birthday")] = "30/12/1899";  // the list's text of a stored zero
  ContactList list;
  addContact(list, v, "", "2001-06-30");
  const std::string v3 = toVcard(list, VcardVersion::V3), v4 = toVcard(list, VcardVersion::V4);
  EXPECT_EQ(v3.find("BDAY"), std::string::npos);
  EXPECT_EQ(lineOf(v3, "X-ANNIVERSARY:"), "X-ANNIVERSARY:2001-06-30");
  EXPECT_EQ(lineOf(v3, "X-EVOLUTION-ANNIVERSARY:"), "X-EVOLUTION-ANNIVERSARY:2001-06-30");
  EXPECT_EQ(lineOf(v3, "ANNIVERSARY:"), "");
  EXPECT_EQ(lineOf(v4, "ANNIVERSARY:"), "ANNIVERSARY:20010630");
  EXPECT_EQ(lineOf(v3, "X-EVOLUTION-SPOUSE:"), "X-EVOLUTION-SPOUSE:Bob");
  EXPECT_EQ(lineOf(v3, "X-KADDRESSBOOK-X-SpousesName:"), "X-KADDRESSBOOK-X-SpousesName:Bob");
  EXPECT_EQ(lineOf(v3, "RELATED"), "");
  EXPECT_EQ(lineOf(v4, "RELATED"), "RELATED;TYPE=spouse;VALUE=text:Bob");
  for (const std::string& card : {v3, v4}) {
    EXPECT_EQ(lineOf(card, "IMPP:"), "IMPP:msnim:ann@messenger.example");
    EXPECT_EQ(lineOf(card, "X-MSN:"), "X-MSN:ann@messenger.example");
  }
  addContact(list, ContactValues{}, "1985-04-12");
  std::string second;
  appendContactVcard(list, 1, VcardVersion::V4, second);
  EXPECT_EQ(lineOf(second, "BDAY:"), "BDAY:19850412");
  second.clear();
  appendContactVcard(list, 1, VcardVersion::V3, second);
  EXPECT_EQ(lineOf(second, "BDAY:"), "BDAY:1985-04-12");
}

// A semicolon gets a backslash everywhere in 3.0; in 4.0 only inside the
// compound values (N, ADR, ORG) and the extension properties, whose readers
// end a value at a bare one. Commas and backslashes are escaped in both.
TEST(VcardExport, SemicolonsAreEscapedWhereEachVersionNeedsIt) {
  const std::string reserved = "a;b,c\\d";
  struct Case {
    const char* attribute;
    std::string value;
    const char* v3;  // the line in each version
    const char* v4;
  } cases[] = {
      {"nick_name", reserved, "NICKNAME:a\\;b\\,c\\\\d", "NICKNAME:a;b\\,c\\\\d"},
      {"job_title", reserved, "TITLE:a\\;b\\,c\\\\d", "TITLE:a;b\\,c\\\\d"},
      {"notes", reserved + "\n;", "NOTE:a\\;b\\,c\\\\d\\n\\;", "NOTE:a;b\\,c\\\\d\\n;"},
      {"first_name", reserved, "FN:a\\;b\\,c\\\\d", "FN:a;b\\,c\\\\d"},
      {"first_name", reserved, "N:;a\\;b\\,c\\\\d;;;", "N:;a\\;b\\,c\\\\d;;;"},
      {"company", reserved, "ORG:a\\;b\\,c\\\\d", "ORG:a\\;b\\,c\\\\d"},
      {"city", reserved, "ADR;TYPE=HOME:;;;a\\;b\\,c\\\\d;;;", "ADR;TYPE=home:;;;a\\;b\\,c\\\\d;;;"},
      {"significant_other", reserved, "X-EVOLUTION-SPOUSE:a\\;b\\,c\\\\d", "X-EVOLUTION-SPOUSE:a\\;b\\,c\\\\d"},
      {"significant_other", reserved, "", "RELATED;TYPE=spouse;VALUE=text:a;b\\,c\\\\d"},
      {"personal_website", "http://x/p;q=1,2", "URL;TYPE=HOME:http://x/p\\;q=1\\,2", "URL;TYPE=home:http://x/p;q=1\\,2"},
      {"other_im_address", "a;b", "IMPP:msnim:a\\;b", "IMPP:msnim:a;b"},
  };
  for (const Case& c : cases) {
    ContactValues v{};
    v[columnIndex(c.attribute)] = c.value;
    ContactList list;
    addContact(list, v);
    for (const auto& [version, want] : {std::pair{VcardVersion::V3, c.v3}, {VcardVersion::V4, c.v4}}) {
      const std::string wanted = want;
      const std::string property = wanted.empty() ? "RELATED" : wanted.substr(0, wanted.find_first_of(":;"));
      std::string card;
      appendContactVcard(list, 0, version, card);
      std::string line = lineOf(card, property + (property == "N" || property == "FN" ? ":" : ""));
      EXPECT_EQ(line, wanted) << c.attribute << " in " << (version == VcardVersion::V3 ? "3.0" : "4.0");
    }
  }
}

}  // namespace
}  // namespace corvadex
