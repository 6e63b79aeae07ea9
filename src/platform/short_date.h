// SPDX-License-Identifier: Apache-2.0
// The user's short date format: how a date without a time is written in the
// user's locale (LC_TIME), e.g. "12/31/2024" in en_US or "31.12.2024" in
// de_DE, with the text in UTF-8. An interface, so that tests can fix the
// pattern.
#pragma once

#include <iconv.h>
#include <locale.h>

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

class ShortDateFormat {
 public:
  virtual ~ShortDateFormat() = default;
  // The date as the pattern writes it; empty if the pattern yields nothing.
  virtual std::string format(const CivilDate& date) const = 0;
};

// Formats with a strftime pattern in a given locale (its LC_TIME names and
// LC_CTYPE character set).
class PatternShortDateFormat : public ShortDateFormat {
 public:
  PatternShortDateFormat(const PatternShortDateFormat&) = delete;
  PatternShortDateFormat& operator=(const PatternShortDateFormat&) = delete;
  ~PatternShortDateFormat() override;

  std::string format(const CivilDate& date) const override;
  const std::string& pattern() const { return pattern_; }

 protected:
  // Takes ownership of `locale` (freed with freelocale), which must carry
  // LC_TIME and LC_CTYPE.
  PatternShortDateFormat(std::string pattern, locale_t locale);

 private:
  std::string pattern_;
  locale_t locale_;
  iconv_t toUtf8_ = nullptr;  // from the locale's character set; none for UTF-8
  // The pattern holds only %d, %m, %Y, %% and literal text, and the text
  // needs no conversion: format writes it itself (for four-digit years).
  bool digitsOnly_ = false;
};

// The pattern with every two-digit year ("%y") made a four-digit one
// ("%Y"), so that 1905 and 2005 stay apart; nothing else changes.
std::string withFourDigitYears(std::string_view pattern);

// The short date pattern of the user's LC_TIME locale, as the environment
// (LC_ALL, LC_TIME, LANG) names it, or of a named locale; the "C" locale's
// when that locale is not installed. The pattern is read once, at
// construction, and its years are given four digits. The formatted text is
// converted from that locale's character set to UTF-8.
class LocaleShortDateFormat final : public PatternShortDateFormat {
 public:
  LocaleShortDateFormat();
  explicit LocaleShortDateFormat(const std::string& localeName);

 private:
  explicit LocaleShortDateFormat(locale_t locale);
};

// A fixed strftime pattern, with the "C" locale's month and day names.
class FixedShortDateFormat final : public PatternShortDateFormat {
 public:
  explicit FixedShortDateFormat(std::string pattern);
};

}  // namespace corvadex
