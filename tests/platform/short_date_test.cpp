// SPDX-License-Identifier: Apache-2.0
// The short date format and the stored date-time values it formats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/ole_date.h"
#include "platform/short_date.h"

namespace corvadex {
namespace {

std::string format(const ShortDateFormat& f, double days) {
  const auto date = dateFromOleDate(days);
  return date ? f.format(*date) : std::string("none");
}

TEST(ShortDate, FixedPatternWithNamesFromTheCLocale) {
  FixedShortDateFormat f("%a %d %b %Y (%j)");
  EXPECT_EQ(format(f, 29221.75), "Tue 01 Jan 1980 (001)");
  FixedShortDateFormat us("%m/%d/%y");
  EXPECT_EQ(format(us, 0.0), "12/30/99");
}

// Patterns of days, months and years are written without strftime; every
// date of the calendar's range must come out as strftime writes it.
TEST(ShortDate, DigitPatternsAreWrittenAsStrftimeWritesThem) {
  locale_t c = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  ASSERT_NE(c, static_cast<locale_t>(nullptr));
  for (const char* pattern : {"%m/%d/%Y", "%d.%m.%Y", "%Y-%m-%d", "%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d",
                              "100%% %d", "%e/%m/%Y", "%d %"}) {
    const FixedShortDateFormat f(pattern);
    for (double days = -693593.0; days <= 2958465.0; days += 97.0) {
      const auto date = dateFromOleDate(days);
      ASSERT_TRUE(date);
      std::tm tm{};
      tm.tm_year = date->year - 1900;
      tm.tm_mon = static_cast<int>(date->month) - 1;
      tm.tm_mday = static_cast<int>(date->day);
      char expected[64];
      const std::size_t n = strftime_l(expected, sizeof expected, pattern, &tm, c);
      ASSERT_EQ(f.format(*date), std::string(expected, n)) << pattern << " " << days;
    }
  }
  freelocale(c);
}

TEST(ShortDate, TwoDigitYearsBecomeFourDigitYears) {
  EXPECT_EQ(withFourDigitYears("%d/%m/%y"), "%d/%m/%Y");
  EXPECT_EQ(withFourDigitYears("%%y %y%y %Y %e"), "%%y %Y%Y %Y %e");
  EXPECT_EQ(withFourDigitYears("%"), "%");
}

bool localeInstalled(const std::string& name) {
  locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return false;
  freelocale(loc);
  return true;
}

// Sets the locale variables for one case and puts them back afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const std::string& all, const std::string& time, const std::string& ctype,
                    const std::string& lang) {
    const std::string values[] = {all, time, ctype, lang};
    for (std::size_t i = 0; i < kCount; ++i) {
      if (const char* v = std::getenv(kNames[i])) saved_[i] = v;
      if (values[i].empty()) unsetenv(kNames[i]); else setenv(kNames[i], values[i].c_str(), 1);
    }
  }
  ~LocaleEnvironment() {
    for (std::size_t i = 0; i < kCount; ++i) {
      if (saved_[i]) setenv(kNames[i], saved_[i]->c_str(), 1); else unsetenv(kNames[i]);
    }
  }

 private:
  static constexpr std::size_t kCount = 4;
  static constexpr const char* kNames[kCount] = {"LC_ALL", "LC_TIME", "LC_CTYPE", "LANG"};
  std::optional<std::string> saved_[kCount];
};

// Each locale's own short date of 14 March 1905 and 2005, with four-digit
// years (1905 and 2005 no longer read the same), in UTF-8: ja_JP.EUC-JP
// writes its year, month and day signs in EUC-JP, which must reach the list
// as UTF-8.
struct LocaleDates {
  std::string locale, date1905, date2005;
};
const LocaleDates kLocales[] = {
    {"C", "03/14/1905", "03/14/2005"},
    {"en_GB.UTF-8", "14/03/1905", "14/03/2005"},
    {"de_DE.UTF-8", "14.03.1905", "14.03.2005"},
    {"ja_JP.UTF-8", "1905\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5",
     "2005\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5"},
    {"ja_JP.EUC-JP", "1905\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5",
     "2005\xE5\xB9\xB4" "03\xE6\x9C\x88" "14\xE6\x97\xA5"},
};
constexpr double k1905 = 1900.0, k2005 = 38425.0;  // 14 March of each, as stored

// The locale chosen by name, and as the environment names it for dates:
// LC_ALL over LC_TIME over LANG, with the text in the date locale's own
// character set whatever LC_CTYPE says. A locale that is not installed
// reads as the C locale.
TEST(ShortDate, EachLocaleWritesItsOwnDateInUtf8) {
  std::vector<std::string> missing;
  for (const LocaleDates& l : kLocales) {
    if (!localeInstalled(l.locale)) {
      missing.push_back(l.locale);
      continue;
    }
    const LocaleShortDateFormat named{l.locale};
    EXPECT_EQ(format(named, k1905), l.date1905) << l.locale;
    EXPECT_EQ(format(named, k2005), l.date2005) << l.locale;
    const struct {
      const char* how;
      std::string all, time, ctype, lang;
    } environments[] = {
        {"LC_ALL", l.locale, "C", "C", "C"},
        {"LC_TIME", "", l.locale, "C", "C"},
        {"LANG", "", "", "", l.locale},
        {"LC_TIME under another LANG", "", l.locale, "", "C.UTF-8"},
    };
    for (const auto& e : environments) {
      const LocaleEnvironment environment(e.all, e.time, e.ctype, e.lang);
      const LocaleShortDateFormat chosen;
      EXPECT_EQ(format(chosen, k1905), l.date1905) << l.locale << " by " << e.how;
    }
    // LC_ALL decides over LC_TIME and LANG.
    {
      const LocaleEnvironment environment("C", l.locale, "", l.locale);
      EXPECT_EQ(format(LocaleShortDateFormat(), k2005), "03/14/2005") << l.locale;
    }
  }
  {
    const LocaleEnvironment environment("xx_NOWHERE.UTF-8", "", "", "");
    EXPECT_EQ(format(LocaleShortDateFormat(), k2005), "03/14/2005");
    EXPECT_EQ(format(LocaleShortDateFormat("xx_NOWHERE.UTF-8"), k2005), "03/14/2005");
  }
  if (!missing.empty())
    GTEST_SKIP() << "locales not installed (./dev test generates them): " << ::testing::PrintToString(missing);
}

}  // namespace
}  // namespace corvadex
