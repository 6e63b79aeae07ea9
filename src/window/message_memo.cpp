// SPDX-License-Identifier: Apache-2.0
#include "window/message_memo.h"

#include <QScrollBar>

#include "window/translation.h"

namespace corvadex {

MessageMemo::MessageMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
}

void MessageMemo::Add(std::string_view line) {
  // appendPlainText starts a new paragraph even after text the user typed
  // without a line break, so each report stays a line of its own.
  appendPlainText(translatedLogLine(line));
}

}  // namespace corvadex
