// SPDX-License-Identifier: Apache-2.0
// The parts of the short date that every system shares: the digits-only
// writer and the test of a pattern it can write, the date as strftime
// takes it and the four-digit year of a strftime pattern.
#include "platform/short_date.h"

namespace corvadex {

std::tm calendarTime(const CivilDate& date) {
  std::tm tm{};
  tm.tm_year = date.year - 1900;
  tm.tm_mon = static_cast<int>(date.month) - 1;
  tm.tm_mday = static_cast<int>(date.day);
  tm.tm_wday = static_cast<int>(date.weekday);
  tm.tm_yday = static_cast<int>(date.dayOfYear);
  return tm;
}

std::string withFourDigitYears(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    out.push_back(pattern[i]);
    if (pattern[i] != '%' || i + 1 >= pattern.size()) continue;
    // A conversion: "%%" is a literal percent sign and stays as it is.
    const char next = pattern[++i];
    out.push_back(next == 'y' ? 'Y' : next);
  }
  return out;
}

bool onlyDayMonthYear(std::string_view pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (++i == pattern.size()) return false;
    const char c = pattern[i];
    if (c != 'd' && c != 'm' && c != 'Y' && c != '%') return false;
  }
  return true;
}

std::string digitDate(std::string_view pattern, const CivilDate& date) {
  // Written on the stack and made a string once: at most two characters a
  // pattern character ("%Y" gives four).
  char small[64];
  std::string large;
  if (2 * pattern.size() > sizeof small) large.resize(2 * pattern.size());
  char* const start = large.empty() ? small : large.data();
  char* p = start;
  const auto putTwoDigits = [&p](unsigned n) {
    *p++ = static_cast<char>('0' + n / 10);
    *p++ = static_cast<char>('0' + n % 10);
  };
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      *p++ = pattern[i];
      continue;
    }
    if (++i == pattern.size()) {
      *p++ = '%';
      break;
    }
    switch (pattern[i]) {
      case 'd': putTwoDigits(date.day); break;
      case 'm': putTwoDigits(date.month); break;
      case 'Y':
        putTwoDigits(static_cast<unsigned>(date.year) / 100);
        putTwoDigits(static_cast<unsigned>(date.year) % 100);
        break;
      default: *p++ = '%'; break;
    }
  }
  return std::string(start, p);
}

}  // namespace corvadex
