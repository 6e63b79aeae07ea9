#include "platform/short_date.h"

#include <langinfo.h>

#include <array>
#include <ctime>
#include <stdexcept>
#include <utility>

namespace corvadex {

namespace {

locale_t newTimeLocale(const char* name) {
  locale_t loc = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr))
    loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) throw std::runtime_error("no C locale");
  return loc;
}

std::string datePattern(locale_t loc) {
  const char* pattern = nl_langinfo_l(D_FMT, loc);
  return pattern ? std::string(pattern) : std::string("%m/%d/%y");
}

}  // namespace

PatternShortDateFormat::PatternShortDateFormat(std::string pattern, locale_t locale)
    : pattern_(std::move(pattern)), locale_(locale) {}

PatternShortDateFormat::~PatternShortDateFormat() { freelocale(locale_); }

std::string PatternShortDateFormat::Format(const CivilDate& date) const {
  std::tm tm{};
  tm.tm_year = date.year - 1900;
  tm.tm_mon = static_cast<int>(date.month) - 1;
  tm.tm_mday = static_cast<int>(date.day);
  tm.tm_wday = static_cast<int>(date.weekday);
  tm.tm_yday = static_cast<int>(date.dayOfYear);
  std::array<char, 256> buffer;
  const std::size_t n = strftime_l(buffer.data(), buffer.size(), pattern_.c_str(), &tm, locale_);
  return std::string(buffer.data(), n);
}

LocaleShortDateFormat::LocaleShortDateFormat() : LocaleShortDateFormat(newTimeLocale("")) {}

LocaleShortDateFormat::LocaleShortDateFormat(locale_t locale)
    : PatternShortDateFormat(datePattern(locale), locale) {}

FixedShortDateFormat::FixedShortDateFormat(std::string pattern)
    : PatternShortDateFormat(std::move(pattern), newTimeLocale("C")) {}

}  // namespace corvadex
