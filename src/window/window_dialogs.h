// SPDX-License-Identifier: Apache-2.0
// Every dialog the window shows, behind one interface: the file dialogs, the
// message boxes, modal forms and the desktop's "open this" action. The
// program uses QtWindowDialogs; tests answer the dialogs themselves.
#pragma once

#include <QString>
#include <optional>

#include "window/dialog_settings.h"

class QDialog;
class QWidget;

namespace corvadex {

// The extension of a filter entry's first pattern ("*.vcf" gives "vcf").
QString filterExtension(const std::string& filter, int index);

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;

  // A full path, or none when the user cancels. The open dialog does not
  // insist that the file exists.
  virtual std::optional<QString> openFile(QWidget* owner, const FileDialogSettings& settings) = 0;
  virtual std::optional<QString> saveFile(QWidget* owner, const FileDialogSettings& settings) = 0;
  // A save dialog whose file type decides what is written: the default
  // extension is the chosen type's; none when the user cancels. The name
  // chosen is in the file system's 8-bit form.
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
QStringList QtNameFilters(const std::string& filter);

// The chosen name with the default extension appended when it has none.
QString withDefaultExt(const QString& fileName, const QString& defaultExt);

}  // namespace corvadex
