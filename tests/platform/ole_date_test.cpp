// SPDX-License-Identifier: Apache-2.0
// The calendar date of a stored date-time value.
#include "platform/ole_date.h"

#include <gtest/gtest.h>

namespace corvadex {
namespace {

TEST(OleDate, EpochAndKnownDays) {
  const auto epoch = dateFromOleDate(0.0);
  ASSERT_TRUE(epoch);
  EXPECT_EQ(epoch->year, 1899);
  EXPECT_EQ(epoch->month, 12u);
  EXPECT_EQ(epoch->day, 30u);
  EXPECT_EQ(epoch->weekday, 6u);  // a Saturday
  const auto leap = dateFromOleDate(36585.5);  // 29 February 2000, a Tuesday
  ASSERT_TRUE(leap);
  EXPECT_EQ(leap->month, 2u);
  EXPECT_EQ(leap->day, 29u);
  EXPECT_EQ(leap->weekday, 2u);
  EXPECT_EQ(leap->dayOfYear, 59u);
  const auto end = dateFromOleDate(2958465.0);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->year, 9999);
  EXPECT_EQ(end->dayOfYear, 364u);
  const auto first = dateFromOleDate(-693593.0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->year, 1);
  EXPECT_EQ(first->month, 1u);
  EXPECT_EQ(first->day, 1u);
  EXPECT_FALSE(dateFromOleDate(-693594.0));
  EXPECT_FALSE(dateFromOleDate(2958466.0));
}

TEST(OleDate, IsoDatesArePaddedToTheirWidths) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "1899-12-30"}, {36585.5, "2000-02-29"}, {-693593.0, "0001-01-01"}, {2958465.0, "9999-12-31"},
      {-657434.0, "0100-01-01"}, {-329683.0, "0997-05-09"}, {2921942.0, "9900-01-01"}};
  for (const auto& [days, iso] : cases) EXPECT_EQ(isoDate(*dateFromOleDate(days)), iso) << days;
}

}  // namespace
}  // namespace corvadex
