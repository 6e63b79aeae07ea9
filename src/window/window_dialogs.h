// SPDX-License-Identifier: Apache-2.0
// Every dialog the window shows, behind one interface: the file dialogs, the
// message boxes, modal forms and the desktop's "open this" action. The
// program uses QtWindowDialogs; tests answer the dialogs themselves.
#pragma once

#include <QString>
#include <optional>

class QDialog;
class QWidget;

namespace corvadex {

// A file dialog's settings, kept between uses like a dialog component on a
// form: `fileName` is what the dialog proposes and, after a confirmed choice,
// the name chosen.
struct FileDialogSettings {
  // Pairs of description and pattern, "description|pattern|description|...".
  QString filter;
  // Appended (with a dot) to a chosen name that has no extension; empty for none.
  QString defaultExt;
  QString fileName;
  // Ask before replacing an existing file (save dialogs only).
  bool overwritePrompt = false;
  // The folder the dialog starts in when `fileName` names none; empty: the
  // dialog's own choice.
  QString directory = QString();
  // The file type (0-based entry of `filter`) proposed and, after a
  // confirmed choice of a typed save dialog, the one chosen.
  int filterIndex = 0;
};

// What a typed save dialog returns: the full path and the chosen file type.
struct TypedFileChoice {
  QString fileName;
  int filterIndex = 0;
};

// The extension of a filter entry's first pattern ("*.vcf" gives "vcf").
QString filterExtension(const QString& filter, int index);

enum class MessageIcon { Error, Warning, Information };

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;

  // A full path, or none when the user cancels. The open dialog does not
  // insist that the file exists.
  virtual std::optional<QString> openFile(QWidget* owner, const FileDialogSettings& settings) = 0;
  virtual std::optional<QString> saveFile(QWidget* owner, const FileDialogSettings& settings) = 0;
  // A save dialog whose file type decides what is written: the default
  // extension is the chosen type's; none when the user cancels.
  virtual std::optional<TypedFileChoice> saveFileTyped(QWidget* owner, const FileDialogSettings& settings) = 0;

  // A message box with one OK button.
  virtual void messageBox(QWidget* owner, const QString& text, const QString& caption,
                          MessageIcon icon) = 0;

  // Shows a dialog modally and returns when it has closed.
  virtual void showModal(QDialog& dialog) = 0;

  // Hands a web address or file to the desktop's default handler for it.
  // Whether that worked is not reported.
  virtual void openWithDesktop(const QString& target) = 0;
};

// The real dialogs of the desktop.
class QtWindowDialogs : public WindowDialogs {
 public:
  std::optional<QString> openFile(QWidget* owner, const FileDialogSettings& settings) override;
  std::optional<QString> saveFile(QWidget* owner, const FileDialogSettings& settings) override;
  std::optional<TypedFileChoice> saveFileTyped(QWidget* owner, const FileDialogSettings& settings) override;
  void messageBox(QWidget* owner, const QString& text, const QString& caption,
                  MessageIcon icon) override;
  void showModal(QDialog& dialog) override;
  void openWithDesktop(const QString& target) override;
};

// "xml files|*.xml" -> "xml files (*.xml)": the filter as Qt's dialogs take it.
QStringList QtNameFilters(const QString& filter);

// The chosen name with the default extension appended when it has none.
QString withDefaultExt(const QString& fileName, const QString& defaultExt);

}  // namespace corvadex
