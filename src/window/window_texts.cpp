// SPDX-License-Identifier: Apache-2.0
#include "window/window_texts.h"

#include <exception>
#include <new>

namespace corvadex {

std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const std::size_t index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
      out += arguments.begin()[index];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string currentErrorText(const std::function<std::string(const char* source)>& translate) {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return translate(QT_TRANSLATE_NOOP("ErrorReport", "Out of memory."));
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return translate(QT_TRANSLATE_NOOP("ErrorReport", "An unknown error occurred."));
  }
}

}  // namespace corvadex
