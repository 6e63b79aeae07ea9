// SPDX-License-Identifier: Apache-2.0
// The user's short date format: how a date without a time is written in the
// user's locale (LC_TIME), e.g. "12/31/2024" in en_US or "31.12.2024" in
// de_DE, with the text in UTF-8. An interface, so that tests can fix the
// pattern.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace corvadex {

// A day of the proleptic Gregorian calendar.
struct CivilDate {
  int year;            // 1 to 9999
  unsigned month;      // 1 to 12
  unsigned day;        // 1 to 31
  unsigned weekday;    // 0 Sunday to 6 Saturday
  unsigned dayOfYear;  // 0 to 365
};

// `pattern`, made only of %d, %m, %Y, %% and plain text, written for
// `date` (month, day and year within their ranges) without strftime: the
// year in four digits, zero-padded.
std::string digitDate(std::string_view pattern, const CivilDate& date);

// True when every conversion of `pattern` is %d, %m, %Y or %%: the
// patterns digitDate writes.
bool onlyDayMonthYear(std::string_view pattern);

// `date` as strftime takes it.
std::tm calendarTime(const CivilDate& date);

class ShortDateFormat {
 public:
  virtual ~ShortDateFormat() = default;
  // The date as the pattern writes it; empty if the pattern yields nothing.
  virtual std::string format(const CivilDate& date) const = 0;
};

// The pattern with every two-digit year ("%y") made a four-digit one
// ("%Y"), so that 1905 and 2005 stay apart; nothing else changes.
std::string withFourDigitYears(std::string_view pattern);

// The user's own format, as each system keeps it (LocaleShortDateFormat),
// and a fixed one (FixedShortDateFormat).
}  // namespace corvadex

#ifdef _WIN32
#include "platform/short_date_windows.h"
#else
#include "platform/short_date_posix.h"
#endif
