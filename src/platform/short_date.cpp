// SPDX-License-Identifier: Apache-2.0
#include "platform/short_date.h"

#include <langinfo.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <utility>

namespace corvadex {

namespace {

constexpr int kDateLocaleMask = LC_TIME_MASK | LC_CTYPE_MASK;

locale_t newDateLocale(const char* name) {
  locale_t loc = newlocale(kDateLocaleMask, name, static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr))
    loc = newlocale(kDateLocaleMask, "C", static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) throw std::runtime_error("no C locale");
  return loc;
}

std::string datePattern(locale_t loc) {
  const char* pattern = nl_langinfo_l(D_FMT, loc);
  return pattern ? std::string(pattern) : std::string("%m/%d/%y");
}

// The locale the environment names for dates: LC_ALL, else LC_TIME, else
// LANG, as the C library decides for LC_TIME. The character set is taken
// from the same locale, not from LC_CTYPE, because the month and era names
// strftime writes are in LC_TIME's character set.
std::string environmentTimeLocale() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

bool isUtf8OrAscii(const char* codeset) {
  return codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0 ||
         std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
}

}  // namespace

PatternShortDateFormat::PatternShortDateFormat(std::string pattern, locale_t locale)
    : pattern_(std::move(pattern)), locale_(locale) {
  const char* codeset = nl_langinfo_l(CODESET, locale_);
  if (!isUtf8OrAscii(codeset)) {
    toUtf8_ = iconv_open("UTF-8", codeset);
    if (toUtf8_ == reinterpret_cast<iconv_t>(-1)) toUtf8_ = nullptr;
  }
  digitsOnly_ = isUtf8OrAscii(codeset) && onlyDayMonthYear(pattern_);
}

PatternShortDateFormat::~PatternShortDateFormat() {
  if (toUtf8_ != nullptr) iconv_close(toUtf8_);
  freelocale(locale_);
}

std::string PatternShortDateFormat::format(const CivilDate& date) const {
  // The common patterns ("%m/%d/%Y", "%d.%m.%Y", "%Y-%m-%d") written here:
  // strftime would write the same, at several times the cost a date.
  // (strftime writes years before 1000 without the leading zeros.)
  if (digitsOnly_ && date.year >= 1000 && date.year <= 9999 && date.month <= 12 && date.day <= 31) {
    return digitDate(pattern_, date);
  }
  const std::tm tm = calendarTime(date);
  std::array<char, 256> buffer;
  const std::size_t n = strftime_l(buffer.data(), buffer.size(), pattern_.c_str(), &tm, locale_);
  if (toUtf8_ == nullptr) return std::string(buffer.data(), n);

  // The locale's text (month names, era names) is in its own character set;
  // the list holds UTF-8. A sequence the converter refuses becomes "?".
  iconv(toUtf8_, nullptr, nullptr, nullptr, nullptr);
  std::array<char, 1024> converted;
  char* in = buffer.data();
  std::size_t inLeft = n;
  char* out = converted.data();
  std::size_t outLeft = converted.size();
  while (inLeft > 0) {
    if (iconv(toUtf8_, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG || outLeft == 0) break;
    ++in;
    --inLeft;
    *out++ = '?';
    --outLeft;
  }
  return std::string(converted.data(), converted.size() - outLeft);
}

LocaleShortDateFormat::LocaleShortDateFormat()
    : LocaleShortDateFormat(newDateLocale(environmentTimeLocale().c_str())) {}

LocaleShortDateFormat::LocaleShortDateFormat(const std::string& localeName)
    : LocaleShortDateFormat(newDateLocale(localeName.c_str())) {}

LocaleShortDateFormat::LocaleShortDateFormat(locale_t locale)
    : PatternShortDateFormat(withFourDigitYears(datePattern(locale)), locale) {}

FixedShortDateFormat::FixedShortDateFormat(std::string pattern)
    : PatternShortDateFormat(std::move(pattern), newDateLocale("C")) {}

}  // namespace corvadex
