// SPDX-License-Identifier: Apache-2.0
// A separating line: an etched (sunken) line along the bottom edge of the
// control's rectangle, as a bevel showing its bottom line only.
#pragma once

#include <QWidget>

namespace corvadex {

class BevelLine final : public QWidget {
 public:
  explicit BevelLine(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace corvadex
