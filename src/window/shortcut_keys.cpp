// SPDX-License-Identifier: Apache-2.0
#include "window/shortcut_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace corvadex {

ShortcutKeysFirst::ShortcutKeysFirst(QWidget* window, QList<QKeySequence> keys)
    : QObject(window), window_(window), keys_(std::move(keys)) {
  qApp->installEventFilter(this);
}

bool ShortcutKeysFirst::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) return false;
  if (static_cast<QWidget*>(watched)->window() != window_) return false;
  const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
  for (const QKeySequence& key : keys_) {
    if (pressed.matches(key) == QKeySequence::ExactMatch) {
      event->ignore();  // not the widget's: the shortcut map goes on to the shortcut
      return true;
    }
  }
  return false;
}

}  // namespace corvadex
