// SPDX-License-Identifier: Apache-2.0
// What the window's dialogs are asked with and answer, in plain text (UTF-8)
// that any toolkit's dialogs take: a file dialog's settings kept between
// uses, a typed save dialog's answer, a message box's icon.
#pragma once

#include <string>
#include <vector>

namespace corvadex {

// A file dialog's settings, kept between uses like a dialog component on a
// form: `fileName` is what the dialog proposes and, after a confirmed choice,
// the name chosen.
struct FileDialogSettings {
  // Pairs of description and pattern, "description|pattern|description|...".
  std::string filter;
  // Appended (with a dot) to a chosen name that has no extension; empty for none.
  std::string defaultExt;
  std::string fileName;
  // Ask before replacing an existing file (save dialogs only).
  bool overwritePrompt = false;
  // The folder the dialog starts in when `fileName` names none; empty: the
  // dialog's own choice.
  std::string directory = std::string();
  // The file type (0-based entry of `filter`) proposed and, after a
  // confirmed choice of a typed save dialog, the one chosen.
  int filterIndex = 0;
  // The dialog's title; empty: the toolkit's own.
  std::string title = std::string();
  // For a typed save dialog, the name each file type suggests (in the
  // filter's order): choosing a type while the name is another type's
  // suggestion changes it to the new type's. Empty: the name stays.
  std::vector<std::string> typeFileNames = {};
};

// What a typed save dialog returns: the full path and the chosen file type.
struct TypedFileChoice {
  std::string fileName;
  int filterIndex = 0;
};

enum class MessageIcon { Error, Warning, Information };

}  // namespace corvadex
