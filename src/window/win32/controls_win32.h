// SPDX-License-Identifier: Apache-2.0
// What the Win32 main window and its dialogs share in making their
// controls: the system's message font, a control's text and the room a
// text takes, tool tips, and opening an address with the desktop.
#pragma once

#include <string>

#include <windows.h>

#include "window/win32/handles_win32.h"

namespace corvadex::win32 {

// The system's message font, as dialogs use it; of `points` when given.
FontHandle messageFont(LONG weight = FW_NORMAL, bool underline = false, int points = 0);

// A control's text (of this program's own windows).
std::wstring windowTextOf(HWND window);

// The width and height `text` takes in `font` on `window`.
SIZE textSize(HWND window, HFONT font, const std::wstring& text);

// A tool tip window for `owner`'s controls, destroyed with `owner`.
HWND createToolTips(HWND owner);
// Shows `text` in `tips` while the mouse rests on `control`, a child of
// the tips' owner.
void addToolTip(HWND tips, HWND control, const std::wstring& text);

// Opens a web address or file with the desktop's handler (ShellExecuteW,
// no owner, the default verb); a failure is not reported.
void openWithDesktop(const std::string& address);

}  // namespace corvadex::win32
