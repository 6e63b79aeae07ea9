// SPDX-License-Identifier: Apache-2.0
// The short date of Windows' regional settings: its pictures written for
// every year the program shows, and the user's own picture as the system
// gives it.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/short_date.h"

namespace corvadex {
namespace {

// 14 March 2005, a Monday; 30 December 1899, a Saturday (before the years
// the system's own date calls take); 5 January of the year 33.
constexpr CivilDate k2005{2005, 3, 14, 1, 72};
constexpr CivilDate k1899{1899, 12, 30, 6, 363};
constexpr CivilDate k0033{33, 1, 5, 1, 4};

TEST(WindowsShortDate, PicturesAreWrittenAsWindowsWritesThem) {
  struct Case {
    const char* picture;
    CivilDate date;
    const char* expected;
  };
  const Case cases[] = {
      {"M/d/yyyy", k2005, "3/14/2005"},
      {"MM/dd/yyyy", k2005, "03/14/2005"},
      {"dd.MM.yyyy", k1899, "30.12.1899"},
      {"yyyy-MM-dd", k0033, "0033-01-05"},
      {"d MMM yyyy", k2005, "14 Mar 2005"},
      {"dddd, MMMM d, yyyy", k1899, "Saturday, December 30, 1899"},
      {"ddd d", k2005, "Mon 14"},
      {"dd/MM/yy", k2005, "14/03/05"},
      {"'Day' d 'of' M, ''yy", k2005, "Day 14 of 3, '05"},
      {"gg yyyy", k2005, " 2005"},
  };
  for (const Case& c : cases) {
    const PictureShortDateFormat format(c.picture, englishDateNames());
    EXPECT_EQ(format.format(c.date), c.expected) << c.picture;
  }
}

TEST(WindowsShortDate, TwoDigitYearsBecomeFourOutsideQuotes) {
  struct Case {
    const char* picture;
    const char* expected;
  };
  const Case cases[] = {
      {"M/d/yy", "M/d/yyyy"},    {"d.M.y", "d.M.yyyy"},       {"yyyy-MM-dd", "yyyy-MM-dd"},
      {"dd 'yy' yy", "dd 'yy' yyyy"}, {"yyyyy", "yyyyy"}, {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(pictureWithFourDigitYears(c.picture), c.expected) << c.picture;
}

TEST(WindowsShortDate, NamedLocalesUseTheirOwnPictureAndNames) {
  struct Case {
    const char* locale;
    const char* expected;  // the order and separators; days and months with or without a zero
  };
  // The user's own settings (the prefix's MM/dd/yyyy) do not reach a named
  // locale.
  const Case cases[] = {{"de-DE", "^0?14\\.0?3\\.2005$"},
                        {"en-US", "^0?3/0?14/2005$"},
                        {"ja-JP", "^2005/0?3/0?14$"}};
  for (const Case& c : cases) {
    const LocaleShortDateFormat format{std::string(c.locale)};
    EXPECT_THAT(format.format(k2005), testing::MatchesRegex(c.expected)) << c.locale;
  }
}

TEST(WindowsShortDate, TheUsersPictureIsTheSystemsWithFourDigitYears) {
  wchar_t picture[80];
  ASSERT_GT(::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80), 0);
  std::string utf8;
  for (const wchar_t* p = picture; *p != 0; ++p) utf8.push_back(static_cast<char>(*p));
  const LocaleShortDateFormat user;
  EXPECT_EQ(user.picture(), pictureWithFourDigitYears(utf8));
  EXPECT_EQ(user.picture().find("yyyy") == std::string::npos, utf8.find('y') == std::string::npos);
}

}  // namespace
}  // namespace corvadex
