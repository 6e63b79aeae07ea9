// SPDX-License-Identifier: Apache-2.0
#include "contact_generator.h"

#include <array>
#include <string_view>

#include "contacts/contact_columns.h"

namespace corvadex::esew {

std::uint64_t Random::next() {
  std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

std::size_t utf16Units(const std::string& s) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    units += len == 4 ? 2 : 1;
    i += len;
  }
  return units;
}

namespace {

template <std::size_t N>
std::string_view pick(Random& r, const std::array<std::string_view, N>& list) {
  return list[r.below(static_cast<std::uint32_t>(N))];
}

constexpr std::array<std::string_view, 24> kFirstNames{
    "Anna", "Jürgen", "Zoë", "Søren", "Élodie", "François", "José", "Łukasz",
    "Дмитрий", "Ольга", "Νίκος", "Ελένη", "太郎", "美咲", "민준", "Nguyễn Văn",
    "Ana María", "Siobhán", "Ahmet", "Ingrid", "Kwame", "Priya", "Björk", "Mateo"};
constexpr std::array<std::string_view, 20> kLastNames{
    "Müller", "García", "O'Brien", "Иванова", "Παπαδόπουλος", "山田", "김", "Nowak",
    "Smith", "da Silva", "Øster", "Dubois", "Kowalczyk", "Jäger", "Ferreira",
    "Yılmaz", "Sørensen", "Schröder", "Сидоров", "佐藤"};
constexpr std::array<std::string_view, 12> kNickNames{
    "Rocket 🚀", "😀 Sunny", "Big J", "Zozo", "🎸 Jam", "Doc", "Kiki", "Δημ",
    "小太郎", "Тёма", "Ace <3", "\"Skip\""};
constexpr std::array<std::string_view, 12> kCities{
    "München", "São Paulo", "Москва", "Αθήνα", "東京", "서울", "Kraków", "Zürich",
    "Reykjavík", "Montréal", "İstanbul", "Springfield"};
constexpr std::array<std::string_view, 10> kCountries{
    "Deutschland", "Brasil", "Россия", "Ελλάδα", "日本", "대한민국", "Polska",
    "Schweiz", "Ísland", "Canada"};
constexpr std::array<std::string_view, 10> kStreets{
    "Hauptstraße 12", "Rua das Flores, 45", "ул. Ленина, д. 7, кв. 3",
    "Οδός Ερμού 21", "千代田区丸の内1-1", "12 Rue de l'Église", "221B Baker Street",
    "ul. Długa 5/7", "Bahnhofstrasse 1\nPostfach 100", "Laugavegur 3"};
constexpr std::array<std::string_view, 10> kCompanies{
    "Smith & Wesson", "<Acme> \"Quotes\" Ltd", "Müller & Söhne GmbH", "ООО «Ромашка»",
    "株式会社サンプル", "Contoso Pharmaceuticals", "Fabrikam, Inc.", "A&B 'Trading' Co.",
    "Λάμψη Α.Ε.", "Northwind Traders"};
constexpr std::array<std::string_view, 10> kJobs{
    "Engineer", "Chef de projet", "Главный бухгалтер", "Director of R&D",
    "営業部長", "Nurse <night shift>", "Teacher", "Architect & Planner",
    "Διευθυντής", "Sous-chef"};
constexpr std::array<std::string_view, 8> kDomains{
    "example.com", "example.org", "mail.example.net", "contoso.example",
    "fabrikam.example", "münchen.example", "example.co.jp", "пример.example"};
constexpr std::array<std::string_view, 8> kCategories{
    "Family", "Friends", "Work", "Football club", "Book club", "Neighbours", "École", "Клиенты"};
constexpr std::array<std::string_view, 8> kNoteLines{
    "Met at the conference in Lisbon.",
    "Allergic to peanuts & shellfish!",
    "Prefers e-mail; call only if urgent.",
    "Birthday gift idea: <a good book>",
    "Говорит по-русски и по-английски.",
    "Ζει στην Αθήνα από το 2015.",
    "誕生日にはケーキを送ること。",
    "Quote of the day: \"Carpe diem\" 🌞"};

std::string asciiLower(std::string_view s) {
  std::string out;
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) out.push_back(static_cast<char>(c | 0x20));
  }
  return out.empty() ? "contact" : out;
}

std::string phone(Random& r) {
  std::string out = "+";
  out += std::to_string(1 + r.below(98));
  out += " ";
  for (int i = 0; i < 3; ++i) out += std::to_string(r.below(10));
  out += " ";
  for (int i = 0; i < 7; ++i) out += std::to_string(r.below(10));
  return out;
}

std::string longNote(Random& r, std::size_t minChars) {
  std::string out;
  std::size_t n = 1;
  while (out.size() < minChars) {
    out += "Paragraph " + std::to_string(n++) + ": ";
    for (int i = 0; i < 4; ++i) {
      out += pick(r, kNoteLines);
      out += ' ';
    }
    out += "\r\n";
  }
  return out;
}

// Days since 30 December 1899: 1940 to 2010, some with a time of day.
double someDate(Random& r) {
  double day = 14611.0 + static_cast<double>(r.below(25567));
  if (r.chance(30)) day += static_cast<double>(r.below(4)) * 0.25;
  return day;
}

}  // namespace

Contact makeContact(std::uint64_t seed, std::uint64_t n, bool longShortText) {
  Random r(seed * 0x100000001b3ull ^ (n + 1) * 0x9e3779b97f4a7c15ull);
  Contact c;
  c.texts.assign(kContactColumnCount, std::nullopt);
  auto set = [&](std::string_view column, std::string value) {
    for (std::size_t i = 0; i < kContactColumnCount; ++i)
      if (kContactColumns[i].name == column) c.texts[i] = std::move(value);
  };

  // The third contact has every contact column null.
  if (n == 2) return c;

  const std::string first(pick(r, kFirstNames));
  const std::string last(pick(r, kLastNames));
  const std::string user = asciiLower(first) + "." + asciiLower(last) + std::to_string(n);
  set("FirstName", first);
  set("LastName", last);
  if (r.chance(60)) set("NickName", std::string(pick(r, kNickNames)));
  if (r.chance(25)) set("MiddleName", std::string(pick(r, kFirstNames)));
  set("HomeEmail", user + "@" + std::string(pick(r, kDomains)));
  if (r.chance(70)) set("WorkEmail", user + "@" + std::string(pick(r, kDomains)));
  if (r.chance(20)) set("OtherEmail", "other." + user + "@" + std::string(pick(r, kDomains)));
  set("HomePhone", phone(r));
  if (r.chance(60)) set("WorkPhone", phone(r));
  if (r.chance(80)) set("MobilePhone", phone(r));
  if (r.chance(10)) set("OtherPhone", phone(r));
  if (r.chance(10)) set("HomeFax", phone(r));
  if (r.chance(5)) set("Pager", phone(r));
  set("HomeStreet", std::string(pick(r, kStreets)));
  set("HomeCity", std::string(pick(r, kCities)));
  if (r.chance(50)) set("HomeState", r.chance(50) ? "Bayern" : "Île-de-France");
  set("HomeZipCode", std::to_string(10000 + r.below(89999)));
  set("HomeCountry", std::string(pick(r, kCountries)));
  if (r.chance(30)) set("HomeWebSite", "https://www." + std::string(pick(r, kDomains)) + "/~" + user + "?a=1&b=2");
  if (r.chance(40)) set("SpouseName", std::string(pick(r, kFirstNames)) + " " + last);
  if (r.chance(70)) {
    set("CompanyName", std::string(pick(r, kCompanies)));
    set("JobTitle", std::string(pick(r, kJobs)));
    set("WorkStreet", std::string(pick(r, kStreets)));
    set("WorkCity", std::string(pick(r, kCities)));
    if (r.chance(30)) set("WorkState", "NRW");
    set("WorkZipCode", std::to_string(10000 + r.below(89999)));
    set("WorkCountry", std::string(pick(r, kCountries)));
    if (r.chance(40)) set("WorkWebSite", "http://" + std::string(pick(r, kDomains)) + "/team#" + user);
  }
  if (r.chance(30)) set("UnresolvedEmail", user + "@hotmail.example");
  if (r.chance(15)) set("OtherImEmail", "im:" + user + "@chat.example");
  // Notes: short multi-line ones, and now and then one of many thousand
  // characters, which lands in the long-value tree.
  if (r.chance(3)) {
    set("Comments", longNote(r, 3000 + r.below(9000)));
  } else if (r.chance(50)) {
    set("Comments", std::string(pick(r, kNoteLines)) + "\nSecond line & more\r\nThird <line> \"quoted\"");
  }
  if (r.chance(70)) c.birthdate = someDate(r);
  if (r.chance(25)) c.anniversary = someDate(r);
  for (std::uint32_t k = r.below(4); k > 0; --k) c.categories.emplace_back(pick(r, kCategories));
  if (r.chance(6)) {
    std::string photo(r.chance(50) ? 300 + r.below(400) : 3000 + r.below(6000), '\0');
    for (auto& ch : photo) ch = static_cast<char>(r.below(256));
    c.photo = std::move(photo);
  }
  if (r.chance(50)) c.rating = static_cast<std::uint8_t>(r.below(6));

  if (n == 0) {
    // The first contact carries the boundary values: a date of 0.0, one
    // with a time of day, emoji outside the BMP, XML's reserved characters.
    set("NickName", "Rocket 🚀 & <Co> \"Ltd\"");
    c.birthdate = 0.0;
    c.anniversary = 29221.75;
    set("Comments", "First line\nSecond line with <xml> & \"quotes\" 'apos'\r\nThird line 😀");
    if (longShortText) set("FirstName", std::string(129, 'W'));
  }
  if (n == 1) {
    // Zero-length values, which are not null.
    set("NickName", "");
    set("MiddleName", "");
    set("HomeEmail", "");
    set("Comments", "");
    set("HomeCity", "");
  }
  return c;
}

void addVcardReservedCharacters(Contact& c, std::uint64_t n) {
  static constexpr std::array<std::string_view, 10> kPieces{
      "; then a semicolon",  ", then a comma",   "back\\slash",        "\\; escaped?",  "\\, escaped?",
      "ends in a backslash\\", "\\n is no line break", ";;", "two \\\\ backslashes", "; ,\\ all three"};
  static constexpr std::array<std::string_view, 7> kTexts{"NickName",   "JobTitle",   "Comments",  "LastName",
                                                          "CompanyName", "HomeStreet", "SpouseName"};
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    std::optional<std::string>& text = c.texts[i];
    if (!text || text->empty()) continue;
    const std::string_view column = kContactColumns[i].name;
    if (column == "HomeWebSite") {
      text->append(";v=1,2");  // a URI may hold both
      continue;
    }
    for (std::size_t k = 0; k < kTexts.size(); ++k) {
      if (column != kTexts[k]) continue;
      std::string_view piece = kPieces[(n + k) % kPieces.size()];
      // Not at the end of a field that another follows (family name,
      // street): ical.js takes the separator after "\\" for an escaped one.
      if (piece.ends_with('\\') && (column == "LastName" || column == "HomeStreet")) piece = kPieces[0];
      text->append(" ").append(piece);
    }
  }
}

}  // namespace corvadex::esew
