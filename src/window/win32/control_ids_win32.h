// SPDX-License-Identifier: Apache-2.0
// The child window identifiers of the Win32 main window (TFormCorvadex):
// each control of the layout table, each box of the details view, each
// piece of the find bar and each control of the about dialog has a fixed
// one, by which the window routes its notifications and by which a program
// driving the window (its test) finds the control with GetDlgItem.
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

// The find bar's pieces beside its field (FindBar1), children of the window,
// in the order they stand from left to right.
enum class FindBarPart : unsigned char { Caption, Previous, Next, NotFound, Close };
inline constexpr std::size_t kFindBarPartCount = 5;
constexpr int findBarPartId(FindBarPart part) { return 500 + static_cast<int>(part); }

// The about dialog's controls (TFormAbout), named as its design names them.
enum class AboutControl : unsigned char {
  Image1,
  LabelName,
  LabelVers,
  Label1,
  Label2,
  Label5,
  Label6,
  Bevel1,
  Label3,
  Label4,
  Label7,
  Label8,
  LabelURL,
  Bevel2,
  ButtonOK,
};
inline constexpr std::size_t kAboutControlCount = 15;
// "OK" has the identifier a dialog's Enter sends for the focused button;
// the others 600 and up, in the order above.
constexpr int aboutControlId(AboutControl control) {
  return control == AboutControl::ButtonOK ? 1 : 600 + static_cast<int>(control);
}

}  // namespace corvadex::win32
