// SPDX-License-Identifier: Apache-2.0
#include "window/win32/list_view_win32.h"

#include <commctrl.h>

#include <string>

#include "base/wide_path.h"

namespace corvadex::win32 {

namespace {

struct Column {
  const char* caption;  // in English, translated in the list's context
  int width;
};

// As the Qt window's list shows them.
constexpr Column kColumns[ContactListColumns::kCount] = {
    {"NickName", 80}, {"First Name", 80}, {"Middle Name", 100}, {"Last Name", 110}, {"EMail", 80},
};

}  // namespace

void ContactListColumns::insert(HWND listView, const Texts& texts) {
  ListView_SetExtendedListViewStyle(listView, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (int c = 0; c < kCount; ++c) {
    std::wstring caption = wideText(texts.translate("ContactListModel", kColumns[c].caption));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.cx = kColumns[c].width;
    column.iSubItem = c;
    ListView_InsertColumn(listView, c, &column);
  }
}

std::string_view ContactListColumns::cell(const ContactRow& row, int column) {
  if (column <= 0) return row.Caption();
  return row.SubItem(static_cast<std::size_t>(column - 1));
}

}  // namespace corvadex::win32
