// SPDX-License-Identifier: Apache-2.0
// MemoInfo: the message log shown as a multi-line edit. Each line the program
// reports is appended whole at the end; long lines wrap; a vertical scroll
// bar is always there. The user may type into it; the program never removes
// or changes a line.
#pragma once

#include <QPlainTextEdit>

#include "base/message_log.h"

namespace corvadex {

class MessageMemo final : public QPlainTextEdit, public MessageLog {
 public:
  explicit MessageMemo(QWidget* parent);
  void Add(std::string_view line) override;
};

}  // namespace corvadex
