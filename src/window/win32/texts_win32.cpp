// SPDX-License-Identifier: Apache-2.0
#include "window/win32/texts_win32.h"

#include <windows.h>

#include <cstring>

namespace corvadex::win32 {

Texts Texts::forUser() { return Texts(PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN); }

std::string Texts::translate(const char* context, const char* source, const char* disambiguation) const {
  if (source == nullptr) return {};
  if (!german_) return source;
  const char* wanted = disambiguation == nullptr ? "" : disambiguation;
  for (std::size_t i = 0; i < kGermanTextsCount; ++i) {
    const TranslatedText& t = kGermanTexts[i];
    if (std::strcmp(t.context, context) == 0 && std::strcmp(t.source, source) == 0 &&
        std::strcmp(t.disambiguation, wanted) == 0)
      return t.translation;
  }
  return source;
}

}  // namespace corvadex::win32
