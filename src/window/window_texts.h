// SPDX-License-Identifier: Apache-2.0
// The window's texts in the user's language. The behaviour of the window
// writes its texts in English and asks the view for them in the user's
// language; each view answers from its own catalogue, English as written
// when it has none.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the translation catalogue, whose tool finds texts by this
// name; the text is translated where it is shown.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace corvadex {

// The context the main window's texts are catalogued under.
inline constexpr const char kWindowTextContext[] = "TFormCorvadex";

class WindowTexts {
 public:
  virtual ~WindowTexts() = default;
  // `source` (UTF-8) of the main window's catalogue in the user's language;
  // `disambiguation` tells apart two uses of one English text.
  virtual std::string translate(const char* source, const char* disambiguation = nullptr) const = 0;
  // `number` with its digits grouped as the locale named ("en_US",
  // "de_DE") groups them.
  virtual std::string groupedNumber(std::size_t number, const std::string& localeName) const = 0;
};

// `pattern` with %1, %2, ... %9 replaced by the arguments in that order, in
// one pass: an argument's own "%2" is not replaced again.
std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// The default error report's text for the exception being handled (call from
// inside a catch block): the error's own text, or for running out of memory
// and for an error of no known kind the report's words, which `translate`
// gives in the user's language (their context is "ErrorReport").
std::string currentErrorText(const std::function<std::string(const char* source)>& translate);

}  // namespace corvadex
