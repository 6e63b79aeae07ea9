// SPDX-License-Identifier: Apache-2.0
// The Win32 window's modal dialogs beside the file dialogs and message
// boxes: the about dialog (TFormAbout: its layout, texts, colours and
// picture, the guide's link opened with ShellExecuteW) and, as a task
// dialog of the common controls, the chooser among several databases the
// start-up search found.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "location/volume_probe.h"
#include "window/win32/texts_win32.h"

#include <windows.h>

namespace corvadex::win32 {

// The guide beside the program (guide.html, else guide.md, in the
// program's folder or its doc folder), as a file address; the project's
// web page when there is none.
std::string guideLink(const std::wstring& programFolder);
// The same for the running program.
std::string programGuideLink();

void showAboutDialog(HWND owner, const Texts& texts);

// The row of `finds` the user picked; none when dismissed.
std::optional<std::size_t> chooseDatabaseDialog(HWND owner, const Texts& texts,
                                                const std::vector<DatabaseFind>& finds);

}  // namespace corvadex::win32
