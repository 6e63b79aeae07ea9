// SPDX-License-Identifier: Apache-2.0
#include "window/link_label.h"

#include <QMouseEvent>

namespace corvadex {

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    event->accept();
    return;
  }
  QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && pressed_) {
    pressed_ = false;
    event->accept();
    if (rect().contains(event->position().toPoint()) && onClick_) onClick_();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace corvadex
