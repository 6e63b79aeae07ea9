#include "export/vcard_export.h"

#include <gtest/gtest.h>

#include "export/vcard_text.h"
#include "file_io.h"
#include "temp_dir.h"
#include "test_support.h"

namespace corvadex {
namespace {

using test::AddContact;
using test::ColumnIndex;
using test::ContactValues;
using test::DistinctValues;

std::string ToVcard(const ContactList& list) {
  StringSink sink;
  WriteContactsVcard(list, sink);
  return sink.Text();
}

std::string Escaped(std::string_view value) {
  std::string out;
  AppendVcardText(out, value);
  return out;
}

TEST(VcardText, ReservedCharactersAndLineBreaksAreEscaped) {
  EXPECT_EQ(Escaped("a\\b,c;d"), "a\\\\b\\,c\\;d");
  EXPECT_EQ(Escaped("1\r\n2\n3\r4"), "1\\n2\\n3\\n4");
  EXPECT_EQ(Escaped("tab\tstays"), "tab\tstays");
  EXPECT_EQ(Escaped(std::string("bell\x07") + "nul" + std::string(1, '\0')),
            "bell\xEF\xBF\xBDnul\xEF\xBF\xBD");
  std::string uri;
  AppendVcardUri(uri, "http://x.y/a b,c;d\\e\n");
  EXPECT_EQ(uri, "http://x.y/a%20b\\,c\\;d\\\\e%0A");
}

// Splits folded output back into physical lines (without their CRLF).
std::vector<std::string> PhysicalLines(const std::string& text) {
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
  AppendFoldedLine(out, line);
  const auto lines = PhysicalLines(out);
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
  AppendFoldedLine(out, std::string(75, 'x'));
  EXPECT_EQ(out, std::string(75, 'x') + "\r\n");
  out.clear();
  AppendFoldedLine(out, std::string(76, 'x'));
  EXPECT_EQ(out, std::string(75, 'x') + "\r\n x\r\n");
}

TEST(VcardText, OnlyRealIsoDatesBecomeVcardDates) {
  EXPECT_EQ(VcardDateFromIso("1985-04-12"), "19850412");
  EXPECT_EQ(VcardDateFromIso("2000-02-29"), "20000229");
  EXPECT_EQ(VcardDateFromIso("1899-12-30"), "18991230");
  for (const char* bad : {"1900-02-29", "2023-02-29", "2023-13-01", "2023-00-10", "2023-04-31", "2023-04-00",
                          "12/04/1985", "1985-4-12", "1985-04-12 ", "19850412", ""})
    EXPECT_FALSE(VcardDateFromIso(bad).has_value()) << bad;
}

TEST(VcardExport, EmptyListGivesNothingAndEmptyContactTheRequiredLines) {
  ContactList list;
  EXPECT_EQ(ToVcard(list), "");
  AddContact(list, ContactValues{});
  EXPECT_EQ(ToVcard(list), "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nN:;;;;\r\nEND:VCARD\r\n");
}

// What vobject should read from the card of `v`, key by key (see
// read_vcard.py for the keys).
std::map<std::string, std::string> ExpectedCard(const ContactValues& v, const std::string& fn) {
  const auto at = [&](const char* attribute) {
    std::string value = v[ColumnIndex(attribute)];
    // A line break of any kind is written as "\n" and read back as LF.
    std::string normal;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\r') {
        normal += '\n';
        if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
      } else {
        normal += value[i];
      }
    }
    return normal;
  };
  std::map<std::string, std::string> card = {
      {"VERSION", "4.0"},          {"FN", fn},
      {"N.family", at("last_name")}, {"N.given", at("first_name")},
      {"N.additional", at("middle_name")}, {"N.prefix", ""}, {"N.suffix", ""},
  };
  const auto put = [&](const std::string& key, const std::string& value) {
    if (!value.empty()) card[key] = value;
  };
  put("NICKNAME", at("nick_name"));
  put("EMAIL;TYPE=home", at("personal_email"));
  put("EMAIL;TYPE=work", at("work_email"));
  put("EMAIL;TYPE=other", at("other_email"));
  put("EMAIL;TYPE=x-wlm", at("wlm_address"));
  put("TEL;TYPE=home,voice", at("home_phone"));
  put("TEL;TYPE=work,voice", at("work_phone"));
  put("TEL;TYPE=cell", at("mobile_phone"));
  put("TEL;TYPE=voice", at("other_phone"));
  put("TEL;TYPE=pager", at("pager"));
  put("TEL;TYPE=home,fax", at("home_fax"));
  const auto address = [&](const std::string& key, const char* street, const char* city, const char* region,
                           const char* code, const char* country) {
    if ((at(street) + at(city) + at(region) + at(code) + at(country)).empty()) return;
    card[key + ".box"] = "";
    card[key + ".extended"] = "";
    card[key + ".street"] = at(street);
    card[key + ".city"] = at(city);
    card[key + ".region"] = at(region);
    card[key + ".code"] = at(code);
    card[key + ".country"] = at(country);
  };
  address("ADR;TYPE=home", "street_address", "city", "state_province", "zip_postal_code", "country_region");
  address("ADR;TYPE=work", "work_street_address", "work_city", "work_state_province", "work_zip_postal_code",
          "work_country_region");
  put("ORG", at("company"));
  put("TITLE", at("job_title"));
  put("URL;TYPE=home", at("personal_website"));
  put("URL;TYPE=work", at("work_website"));
  for (const auto& [attribute, property] : {std::pair{"birthday", "BDAY"}, {"anniversary", "ANNIVERSARY"}}) {
    const std::string date = at(attribute);
    if (date.empty()) continue;
    if (auto basic = VcardDateFromIso(date))
      card[property] = *basic;
    else
      card[std::string(property) + ";VALUE=text"] = date;
  }
  put("RELATED;TYPE=spouse;VALUE=text", at("significant_other"));
  const std::string im = at("other_im_address");
  if (!im.empty()) card["IMPP"] = HasUriScheme(im) ? im : "msnim:" + im;
  put("NOTE", at("notes"));
  return card;
}

// vobject, an independent vCard reader, finds every value in its property.
TEST(VcardExport, VobjectReadsEveryValueWhereItBelongs) {
  if (!test::PythonHasModule("vobject")) GTEST_SKIP() << "python3-vobject is not installed";

  ContactValues ann = DistinctValues("Ann");
  ann[ColumnIndex("birthday")] = "1985-04-12";
  ann[ColumnIndex("anniversary")] = "2010-02-28";
  ann[ColumnIndex("personal_website")] = "https://example.org/a,b;c";
  ann[ColumnIndex("work_website")] = "http://work.example/";
  ann[ColumnIndex("other_im_address")] = "ann@messenger.example";
  ann[ColumnIndex("personal_email")] = "ann@example.org";
  ann[ColumnIndex("first_name")] = "Ann-Marie";
  ann[ColumnIndex("last_name")] = "O'Neil, Jr.; the \\ second";
  ann[ColumnIndex("street_address")] = "1 Main St; Apt 2, rear\nBuilding \xC3\xA9";
  ann[ColumnIndex("company")] = "Smith; Wesson & Co, Ltd";
  ann[ColumnIndex("notes")] = "First line\r\nsecond, with; stuff\\\n\ttabbed " + std::string(200, 'x') +
                              " \xF0\x9F\x98\x80\xE6\x9D\x8E\xC3\xA9 end";

  ContactValues company{};
  company[ColumnIndex("company")] = "Acme";
  company[ColumnIndex("birthday")] = "12/04/1985";
  company[ColumnIndex("other_im_address")] = "xmpp:acme@jabber.example";
  company[ColumnIndex("work_city")] = "Springfield";

  ContactValues nickOnly{};
  nickOnly[ColumnIndex("nick_name")] = "Bobby, the \"kid\"";

  ContactList list;
  AddContact(list, ann);
  AddContact(list, ContactValues{});
  AddContact(list, company);
  AddContact(list, nickOnly);

  testing::TempDir dir;
  const std::string path = dir.File("contacts.vcf");
  const std::string vcf = ToVcard(list);
  testing::WriteFile(path, vcf);
  for (const auto& line : PhysicalLines(vcf)) EXPECT_LE(line.size(), 75u);

  const auto result = test::Run({CORVADEX_TEST_PYTHON, CORVADEX_TEST_SCRIPTS "/read_vcard.py", path});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const auto cards = test::ParseKeyedHexLines(result.out);
  ASSERT_EQ(cards.size(), 4u);
  EXPECT_EQ(cards[0], ExpectedCard(ann, "Ann-Marie Ann MiddleName O'Neil, Jr.; the \\ second"));
  EXPECT_EQ(cards[1], ExpectedCard(ContactValues{}, ""));
  EXPECT_EQ(cards[2], ExpectedCard(company, "Acme"));
  EXPECT_EQ(cards[3], ExpectedCard(nickOnly, "Bobby, the \"kid\""));
}

}  // namespace
}  // namespace corvadex
