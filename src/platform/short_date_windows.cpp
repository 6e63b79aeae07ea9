// SPDX-License-Identifier: Apache-2.0
#include "platform/short_date.h"

#include <windows.h>

#include <ctime>
#include <utility>

#include "base/wide_path.h"

namespace corvadex {

namespace {

// GetLocaleInfoEx (Windows Vista and later), looked up when first needed;
// GetLocaleInfoW of the user's default locale when it is missing.
using GetLocaleInfoExCall = int(WINAPI*)(LPCWSTR, LCTYPE, LPWSTR, int);

GetLocaleInfoExCall localeInfoEx() {
  static const GetLocaleInfoExCall call = [] {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel == nullptr
               ? nullptr
               : reinterpret_cast<GetLocaleInfoExCall>(
                     reinterpret_cast<void*>(::GetProcAddress(kernel, "GetLocaleInfoEx")));
  }();
  return call;
}

// One value of a locale (null name: the user's default, with the user's
// own settings; a named locale as the system defines it), in UTF-8; empty
// when the system has none.
std::string localeValue(const wchar_t* name, LCTYPE type) {
  wchar_t buffer[128];
  int n = 0;
  if (const GetLocaleInfoExCall call = localeInfoEx(); call != nullptr) {
    n = call(name == nullptr ? LOCALE_NAME_USER_DEFAULT : name,
             name == nullptr ? type : type | LOCALE_NOUSEROVERRIDE, buffer, 128);
  } else if (name == nullptr) {
    n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128);
  }
  return n > 1 ? utf8Text(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : std::string();
}

DateNames localeNames(const wchar_t* name) {
  DateNames names = englishDateNames();
  // LOCALE_SDAYNAME1 is Monday; the list starts on Sunday.
  for (int i = 0; i < 7; ++i) {
    const int day = (i + 6) % 7;
    std::string full = localeValue(name, static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day));
    std::string abbreviated = localeValue(name, static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + day));
    if (!full.empty()) names.days[i] = std::move(full);
    if (!abbreviated.empty()) names.shortDays[i] = std::move(abbreviated);
  }
  for (int i = 0; i < 12; ++i) {
    std::string full = localeValue(name, static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i));
    std::string abbreviated = localeValue(name, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i));
    if (!full.empty()) names.months[i] = std::move(full);
    if (!abbreviated.empty()) names.shortMonths[i] = std::move(abbreviated);
  }
  return names;
}

std::string localePicture(const wchar_t* name) {
  std::string picture = localeValue(name, LOCALE_SSHORTDATE);
  return pictureWithFourDigitYears(picture.empty() ? "M/d/yyyy" : picture);
}

void putNumber(std::string& out, unsigned value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) out.append(width - digits.size(), '0');
  out += digits;
}

// Calls `each(letter, count)` for every run of one picture letter and
// `each(0, text)` for the text between them, quotes taken off.
template <typename Each>
void walkPicture(std::string_view picture, Each each) {
  std::string text;
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (c == '\'' && i + 1 < picture.size() && picture[i + 1] == '\'') {  // '' outside quotes
      text.push_back('\'');
      i += 2;
      continue;
    }
    if (c == '\'') {
      // Quoted text up to the next lone quote; '' is a quote.
      for (++i; i < picture.size(); ++i) {
        if (picture[i] != '\'') {
          text.push_back(picture[i]);
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
          text.push_back('\'');
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    if (c == 'd' || c == 'M' || c == 'y' || c == 'g') {
      std::size_t n = 1;
      while (i + n < picture.size() && picture[i + n] == c) ++n;
      each(0, text);
      text.clear();
      each(c, std::string_view(picture.data() + i, n));
      i += n;
      continue;
    }
    text.push_back(c);
    ++i;
  }
  each(0, text);
}

}  // namespace

DateNames englishDateNames() {
  return DateNames{
      {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
      {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
      {"January", "February", "March", "April", "May", "June", "July", "August", "September",
       "October", "November", "December"},
      {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}};
}

std::string pictureWithFourDigitYears(std::string_view picture) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < picture.size();) {
    if (picture[i] == '\'') quoted = !quoted;
    if (quoted || picture[i] != 'y') {
      out.push_back(picture[i++]);
      continue;
    }
    std::size_t n = 1;
    while (i + n < picture.size() && picture[i + n] == 'y') ++n;
    out.append(n < 3 ? 4 : n, 'y');
    i += n;
  }
  return out;
}

PictureShortDateFormat::PictureShortDateFormat(std::string picture, DateNames names)
    : picture_(std::move(picture)), names_(std::move(names)) {}

std::string PictureShortDateFormat::format(const CivilDate& date) const {
  std::string out;
  const unsigned year = static_cast<unsigned>(date.year);
  walkPicture(picture_, [&](char letter, std::string_view run) {
    const std::size_t n = run.size();
    switch (letter) {
      case 0: out += run; break;
      case 'd':
        if (n <= 2) {
          putNumber(out, date.day, n);
        } else if (date.weekday < 7) {
          out += n == 3 ? names_.shortDays[date.weekday] : names_.days[date.weekday];
        }
        break;
      case 'M':
        if (n <= 2) {
          putNumber(out, date.month, n);
        } else if (date.month >= 1 && date.month <= 12) {
          out += n == 3 ? names_.shortMonths[date.month - 1] : names_.months[date.month - 1];
        }
        break;
      case 'y':
        if (n == 1) {
          putNumber(out, year % 100, 1);
        } else if (n == 2) {
          putNumber(out, year % 100, 2);
        } else {
          putNumber(out, year, 4);
        }
        break;
      default: break;  // the era
    }
  });
  return out;
}

LocaleShortDateFormat::LocaleShortDateFormat()
    : PictureShortDateFormat(localePicture(nullptr), localeNames(nullptr)) {}

LocaleShortDateFormat::LocaleShortDateFormat(const std::string& localeName)
    : PictureShortDateFormat(localePicture(wideText(localeName).c_str()),
                             localeNames(wideText(localeName).c_str())) {}

FixedShortDateFormat::FixedShortDateFormat(std::string pattern)
    : pattern_(std::move(pattern)), digitsOnly_(onlyDayMonthYear(pattern_)) {}

std::string FixedShortDateFormat::format(const CivilDate& date) const {
  if (digitsOnly_ && date.year >= 1000 && date.year <= 9999 && date.month <= 12 && date.day <= 31) {
    return digitDate(pattern_, date);
  }
  // Years before 1000 (which the C runtime's strftime refuses) as the C
  // library writes them: "%Y" without leading zeros.
  if (digitsOnly_ && date.year >= 1 && date.year < 1000) {
    std::string out;
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
      if (pattern_[i] != '%' || i + 1 == pattern_.size()) {
        out.push_back(pattern_[i]);
        continue;
      }
      switch (pattern_[++i]) {
        case 'Y': out += std::to_string(date.year); break;
        case '%': out.push_back('%'); break;
        default: out += digitDate(std::string_view(pattern_).substr(i - 1, 2), date); break;
      }
    }
    return out;
  }
  const std::tm tm = calendarTime(date);
  char buffer[256];
  const std::size_t n = std::strftime(buffer, sizeof buffer, pattern_.c_str(), &tm);
  return std::string(buffer, n);
}

}  // namespace corvadex
