// SPDX-License-Identifier: Apache-2.0
// The short date with the C library's locales (short_date.h): the pattern
// of LC_TIME, written with strftime_l and converted to UTF-8 with iconv.
#pragma once

#include <iconv.h>
#include <locale.h>

#include <string>

namespace corvadex {

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
