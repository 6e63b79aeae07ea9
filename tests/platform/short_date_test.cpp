// The short date format and the stored date-time values it formats.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/short_date.h"
#include "store/ole_date.h"

namespace corvadex {
namespace {

std::string Format(const ShortDateFormat& f, double days) {
  const auto date = DateFromOleDate(days);
  return date ? f.Format(*date) : std::string("none");
}

TEST(OleDate, EpochAndKnownDays) {
  const auto epoch = DateFromOleDate(0.0);
  ASSERT_TRUE(epoch);
  EXPECT_EQ(epoch->year, 1899);
  EXPECT_EQ(epoch->month, 12u);
  EXPECT_EQ(epoch->day, 30u);
  EXPECT_EQ(epoch->weekday, 6u);  // a Saturday
  const auto leap = DateFromOleDate(36585.5);  // 29 February 2000, a Tuesday
  ASSERT_TRUE(leap);
  EXPECT_EQ(leap->month, 2u);
  EXPECT_EQ(leap->day, 29u);
  EXPECT_EQ(leap->weekday, 2u);
  EXPECT_EQ(leap->dayOfYear, 59u);
  const auto end = DateFromOleDate(2958465.0);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->year, 9999);
  EXPECT_EQ(end->dayOfYear, 364u);
  const auto first = DateFromOleDate(-693593.0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->year, 1);
  EXPECT_EQ(first->month, 1u);
  EXPECT_EQ(first->day, 1u);
  EXPECT_FALSE(DateFromOleDate(-693594.0));
  EXPECT_FALSE(DateFromOleDate(2958466.0));
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
  EXPECT_EQ(c.Pattern(), "%m/%d/%y");
  EXPECT_EQ(Format(c, 29221.75), "01/01/80");
  // A locale that is not installed falls back to the C locale's pattern.
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  LocaleShortDateFormat missing;
  EXPECT_EQ(missing.Pattern(), "%m/%d/%y");
  if (saved) setenv("LC_ALL", restore.c_str(), 1); else unsetenv("LC_ALL");
}

}  // namespace
}  // namespace corvadex
