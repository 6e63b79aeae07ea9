// SPDX-License-Identifier: Apache-2.0
// What the window's behaviour (WindowBehaviour) asks of a view: a toolkit's
// window that shows the controls of window_layout.h, tells the behaviour
// what the user does by calling its handlers, and does what the behaviour
// says. The view decides nothing: it draws and forwards.
//
// The behaviour's own changes raise no handler: setting a control's text or
// check here does not call back into the behaviour, which calls the handler
// that follows itself.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "location/volume_probe.h"
#include "base/message_log.h"
#include "window/dialog_settings.h"
#include "window/window_layout.h"
#include "window/window_texts.h"

namespace corvadex {

class ContactRow;

// The view is also the window's message log (MemoInfo): each line added is
// appended whole at its end.
class WindowView : public WindowTexts, public MessageLog {
 public:
  // The text of EditDBPath or of the find bar's field (FindBar1), UTF-8.
  virtual std::string text(Control control) const = 0;
  virtual void setText(Control control, const std::string& text) = 0;
  // The check of RadioButton1 or RadioButton2; checking one unchecks the other.
  virtual bool checked(Control control) const = 0;
  virtual void setChecked(Control control, bool checked) = 0;
  virtual void setEnabled(Control control, bool enabled) = 0;
  virtual void setTitle(const std::string& title) = 0;
  // The status line (LabelStatus), whole in its tool tip when cut.
  virtual void setStatus(const std::string& text) = 0;

  // The details view: every box with the row's values, or every box empty.
  virtual void showContact(const ContactRow& row) = 0;
  virtual void clearDetails() = 0;

  // The find bar: shown with the keyboard in its field, text selected.
  virtual void openFindBar() = 0;
  virtual void closeFindBar() = 0;
  virtual bool findBarOpen() const = 0;
  virtual void showNotFound(bool notFound) = 0;

  // The dialogs, each modal over the window. The file dialogs give a full
  // path, or none when cancelled.
  virtual std::optional<std::string> askOpenFile(const FileDialogSettings& settings) = 0;
  virtual std::optional<std::string> askSaveFile(const FileDialogSettings& settings) = 0;
  virtual std::optional<TypedFileChoice> askSaveFileTyped(const FileDialogSettings& settings) = 0;
  virtual void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
  // Which of several databases found to read; none when dismissed.
  virtual std::optional<std::size_t> chooseDatabase(const std::vector<DatabaseFind>& finds) = 0;
  // The about dialog (TFormAbout), made afresh and released once closed.
  virtual void showAbout() = 0;
  // True while a dialog is open over the window.
  virtual bool dialogOpen() const = 0;

  // The busy cursor (the pointer with an hourglass: the window still
  // answers) while a read or an export runs.
  virtual void setBusy(bool busy) = 0;
  virtual void show() = 0;

  // Runs a handler; an error it throws goes to the default error report
  // (a message box over the window, or before it when it is not shown yet).
  virtual void guard(const std::function<void()>& handler) = 0;
  // Runs `work` once the current event has been handled, on the window's
  // thread, guarded; may be called from any thread. Work runs in the order
  // posted.
  virtual void post(std::function<void()> work) = 0;
  // Runs `tick` on the window's thread every `milliseconds`, guarded, until
  // it returns false or throws.
  virtual void repeat(int milliseconds, std::function<bool()> tick) = 0;
};

}  // namespace corvadex
