// SPDX-License-Identifier: Apache-2.0
#include "window/win32/list_view_win32.h"

#include <commctrl.h>

#include <algorithm>
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

void ContactListColumns::stretchLast(HWND listView) {
  // A new width may take away or bring back the horizontal scroll bar, and
  // with it the vertical one of a list whose rows just fit: the width is
  // taken again until the client area stays as it is.
  for (int round = 0; round < 3; ++round) {
    RECT client{};
    GetClientRect(listView, &client);
    int others = 0;
    for (int c = 0; c + 1 < kCount; ++c) others += ListView_GetColumnWidth(listView, c);
    const int width = std::max(kColumns[kCount - 1].width, static_cast<int>(client.right) - others);
    if (ListView_GetColumnWidth(listView, kCount - 1) == width) return;
    ListView_SetColumnWidth(listView, kCount - 1, width);
  }
}

std::string_view ContactListColumns::cell(const ContactRow& row, int column) {
  if (column <= 0) return row.Caption();
  return row.SubItem(static_cast<std::size_t>(column - 1));
}

}  // namespace corvadex::win32
