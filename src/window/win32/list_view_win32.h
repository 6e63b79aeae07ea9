// SPDX-License-Identifier: Apache-2.0
// The contact list's columns in the Win32 list view (ListViewContacts):
// their captions and widths, and the text of a row's cell, which the
// virtual list view asks for as it draws.
#pragma once

#include <windows.h>

#include <string_view>

#include "contacts/contact_row.h"
#include "window/win32/texts_win32.h"

namespace corvadex::win32 {

struct ContactListColumns {
  static constexpr int kCount = 5;
  // Adds the columns, their captions translated, to a report-mode list view.
  static void insert(HWND listView, const Texts& texts);
  // Widens or narrows the last column to fill the width the others leave
  // in the list's client area, as the Qt list's last section stretches;
  // never narrower than its own width in the design.
  static void stretchLast(HWND listView);
  // Column `column` of the row: its caption (NickName), then the sub-items.
  static std::string_view cell(const ContactRow& row, int column);
};

}  // namespace corvadex::win32
