// SPDX-License-Identifier: Apache-2.0
// The child window identifiers of the Win32 main window (TFormCorvadex):
// each control of the layout table and each box of the details view has a
// fixed one, by which the window routes its notifications and by which a
// program driving the window (its test) finds the control with GetDlgItem.
#pragma once

#include <cstddef>

#include "window/window_layout.h"

namespace corvadex::win32 {

// The window's class name, for FindWindowW.
inline constexpr wchar_t kFormClassName[] = L"TFormCorvadex";

// A control of the layout table: 100 and up, in the order of the Control enum.
constexpr int controlId(Control control) { return 100 + static_cast<int>(control); }
// A box of the details view (kDetailsBoxes' index): 200 and up; its label
// is 300 and up. The boxes are children of their page, the pages children
// of the page control (e), page p having the id 400 + p.
constexpr int detailsBoxId(std::size_t box) { return 200 + static_cast<int>(box); }
constexpr int detailsLabelId(std::size_t box) { return 300 + static_cast<int>(box); }
constexpr int detailsPageId(std::size_t page) { return 400 + static_cast<int>(page); }

}  // namespace corvadex::win32
