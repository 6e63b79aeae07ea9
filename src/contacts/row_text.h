// SPDX-License-Identifier: Apache-2.0
// A contact row as one line of text: its 33 values in the order of
// kContactColumns, separated by tabs, with a tab, newline, carriage return or
// backslash inside a value written as \t, \n, \r, \\ so that every row stays
// one line and every value can be recovered.
#pragma once

#include <string>
#include <string_view>

#include "contacts/contact_list.h"

namespace corvadex {

// Appends `value` to `out` with the four characters above escaped.
void appendEscaped(std::string_view value, std::string& out);

// Appends the row's line, ending in '\n', to `out`.
void appendRowLine(const ContactRow& row, std::string& out);

}  // namespace corvadex
