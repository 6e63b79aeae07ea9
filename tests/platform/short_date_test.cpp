// SPDX-License-Identifier: Apache-2.0
// The short date format and the stored date-time values it formats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ole_date.h"
#include "platform/short_date.h"

namespace corvadex {
namespace {

std::string Format(const ShortDateFormat& f, double days) {
  const auto date = DateFromOleDate(days);
  return date ? f.Format(*date) : std::string("none");
}

TEST(ShortDate, FixedPatternWithNamesFromTheCLocale) {
  FixedShortDateFormat f("%a %d %b %Y (%j)");
  EXPECT_EQ(Format(f, 29221.75), "Tue 01 Jan 1980 (001)");
  FixedShortDateFormat us("%m/%d/%y");
  EXPECT_EQ(Format(us, 0.0), "12/30/99");
}

TEST(ShortDate, LocalePatternComesFromLcTime) {
  const char* saved = std::getenv("LC_ALL");
  const std::string restore = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  LocaleShortDateFormat c;
  EXPECT_EQ(c.Pattern(), "%m/%d/%Y");
  EXPECT_EQ(Format(c, 29221.75), "01/01/1980");
  // A locale that is not installed falls back to the C locale's pattern.
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  LocaleShortDateFormat missing;
  EXPECT_EQ(missing.Pattern(), "%m/%d/%Y");
  if (saved) setenv("LC_ALL", restore.c_str(), 1); else unsetenv("LC_ALL");
}

TEST(ShortDate, TwoDigitYearsBecomeFourDigitYears) {
  EXPECT_EQ(WithFourDigitYears("%d/%m/%y"), "%d/%m/%Y");
  EXPECT_EQ(WithFourDigitYears("%%y %y%y %Y %e"), "%%y %Y%Y %Y %e");
  EXPECT_EQ(WithFourDigitYears("%"), "%");
}

bool LocaleInstalled(const char* name) {
  locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return false;
  freelocale(loc);
  return true;
}

// Each locale's own short date, with four-digit years, in UTF-8: 1905 and
// 2005 no longer read the same. ja_JP.EUC-JP writes its year, month and day
// signs in EUC-JP, which must reach the list as UTF-8.
TEST(ShortDate, LocalesShowFourDigitYearsInUtf8) {
  struct Case {
    const char* locale;
    const char* date1905;
    const char* date2005;
  } cases[] = {
      {"C", "03/14/1905", "03/14/2005"},
      {"en_GB.UTF-8", "14/03/1905", "14/03/2005"},
      {"de_DE.UTF-8", "14.03.1905", "14.03.2005"},
      {"ja_JP.UTF-8", "1905\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5",
       "2005\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5"},
      {"ja_JP.EUC-JP", "1905\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5",
       "2005\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5"},
  };
  std::vector<std::string> missing;
  for (const Case& c : cases) {
    if (!LocaleInstalled(c.locale)) {
      missing.push_back(c.locale);
      continue;
    }
    LocaleShortDateFormat f{std::string(c.locale)};
    EXPECT_EQ(Format(f, 1900.0), c.date1905) << c.locale;  // 14 March 1905
    EXPECT_EQ(Format(f, 38425.0), c.date2005) << c.locale;  // 14 March 2005
  }
  if (!missing.empty())
    GTEST_SKIP() << "locales not installed (./dev test generates them): " << testing::PrintToString(missing);
}

}  // namespace
}  // namespace corvadex
