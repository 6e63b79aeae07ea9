// SPDX-License-Identifier: Apache-2.0
// The Win32 window's texts in the user's language: the German ones come
// from the Qt window's translation file, turned into a table at build time
// (scripts/ts_to_cpp.py), and are used when the user's display language is
// German; otherwise the English texts as written.
#pragma once

#include <cstddef>
#include <string>

namespace corvadex::win32 {

struct TranslatedText {
  const char* context;
  const char* source;
  const char* disambiguation;  // empty for none
  const char* translation;
};

extern const TranslatedText kGermanTexts[];
extern const std::size_t kGermanTextsCount;

class Texts {
 public:
  // The catalogue for the user's display language (GetUserDefaultUILanguage).
  static Texts forUser();
  // German when `german`, else English.
  explicit Texts(bool german) : german_(german) {}

  bool german() const { return german_; }
  // `source` of `context` in the chosen language, `source` itself when the
  // catalogue has no translation of it.
  std::string translate(const char* context, const char* source, const char* disambiguation = nullptr) const;

 private:
  bool german_;
};

}  // namespace corvadex::win32
