// SPDX-License-Identifier: Apache-2.0
#include "platform/ole_date.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace corvadex {

namespace {

// Day numbers relative to 1970-01-01 of the first and last representable days
// and of the date-time epoch.
constexpr std::int64_t kEpochFrom1970 = -25569;         // 1899-12-30
constexpr std::int64_t kFirstDayFrom1970 = -719162;     // 0001-01-01
constexpr std::int64_t kLastDayFrom1970 = 2932896;      // 9999-12-31

bool isLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

std::optional<CivilDate> dateFromOleDate(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double whole = std::trunc(value);
  // Compare as doubles before converting so that huge values never overflow.
  if (whole < static_cast<double>(kFirstDayFrom1970 - kEpochFrom1970) ||
      whole > static_cast<double>(kLastDayFrom1970 - kEpochFrom1970))
    return std::nullopt;
  const std::int64_t z0 = static_cast<std::int64_t>(whole) + kEpochFrom1970;

  // Days since 1970-01-01 to a proleptic Gregorian date, counting in 400-year
  // eras that start on 1 March so that the leap day ends each year.
  const std::int64_t z = z0 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);

  static constexpr unsigned kDaysBefore[12] = {0, 31, 59, 90, 120, 151,
                                               181, 212, 243, 273, 304, 334};
  unsigned yday = kDaysBefore[m - 1] + static_cast<unsigned>(d) - 1;
  if (m > 2 && isLeap(y)) ++yday;
  // 1970-01-01 was a Thursday.
  const std::int64_t wd = ((z0 % 7) + 7 + 4) % 7;

  return CivilDate{static_cast<int>(y), static_cast<unsigned>(m), static_cast<unsigned>(d),
                   static_cast<unsigned>(wd), yday};
}

std::string isoDate(const CivilDate& date) {
  if (date.year < 1 || date.year > 9999 || date.month > 12 || date.day > 31) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", date.year, date.month, date.day);
    return text;
  }
  return digitDate("%Y-%m-%d", date);
}

}  // namespace corvadex
