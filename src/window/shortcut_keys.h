// SPDX-License-Identifier: Apache-2.0
// The window's own keys before any text box's.
//
// Before a key that a shortcut uses reaches a shortcut, Qt asks the focused
// widget whether it wants the key itself; a line edit claims the keys of the
// desktop's editing bindings (Ctrl+E moves to the end of the line in the
// Emacs-like bindings of X11 desktops), and the window's shortcut never
// fires. This filter answers that question for the given keys on the
// window's widgets: not wanted, so the window's shortcuts work wherever the
// keyboard is. Other windows (dialogs) keep their text boxes' bindings.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace corvadex {

class ShortcutKeysFirst final : public QObject {
 public:
  // Filters the application's events for `window`'s widgets; lives as long
  // as the window.
  ShortcutKeysFirst(QWidget* window, QList<QKeySequence> keys);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  QList<QKeySequence> keys_;
};

}  // namespace corvadex
