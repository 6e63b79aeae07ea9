// SPDX-License-Identifier: Apache-2.0
// The short date on Windows (short_date.h): the picture of the user's
// regional settings, such as "M/d/yyyy" or "dd.MM.yyyy", written here with
// the locale's month and day names, for every year from 1 to 9999 (the
// system's own date calls stop at 1601).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvadex {

// The names a picture's "ddd", "dddd", "MMM" and "MMMM" write, in UTF-8.
struct DateNames {
  std::array<std::string, 7> days;         // Sunday first
  std::array<std::string, 7> shortDays;
  std::array<std::string, 12> months;      // January first
  std::array<std::string, 12> shortMonths;
};

// The English names, as the "C" locale has them.
DateNames englishDateNames();

// The picture with every year of one or two digits ("y", "yy") made a
// four-digit one ("yyyy"), so that 1905 and 2005 stay apart; quoted text
// and everything else stay as they are.
std::string pictureWithFourDigitYears(std::string_view picture);

// Writes a Windows date picture: d, dd (day), ddd, dddd (day name), M, MM
// (month), MMM, MMMM (month name), y, yy (year, last two digits), yyyy
// (year, four digits), g, gg (era: left out), 'quoted text' ('' a
// quote), and any other character as it is.
class PictureShortDateFormat : public ShortDateFormat {
 public:
  PictureShortDateFormat(std::string picture, DateNames names);
  std::string format(const CivilDate& date) const override;
  const std::string& picture() const { return picture_; }

 private:
  std::string picture_;
  DateNames names_;
};

// The user's short date (LOCALE_SSHORTDATE of the user's default locale),
// or a named locale's ("de-DE"), its years given four digits; the
// United States' ("M/d/yyyy") when the system has none.
class LocaleShortDateFormat final : public PictureShortDateFormat {
 public:
  LocaleShortDateFormat();
  explicit LocaleShortDateFormat(const std::string& localeName);
};

// A fixed strftime pattern, with the "C" locale's month and day names.
class FixedShortDateFormat final : public ShortDateFormat {
 public:
  explicit FixedShortDateFormat(std::string pattern);
  std::string format(const CivilDate& date) const override;
  const std::string& pattern() const { return pattern_; }

 private:
  std::string pattern_;
  bool digitsOnly_ = false;
};

}  // namespace corvadex
