// SPDX-License-Identifier: Apache-2.0
#include "window/anchors.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace corvadex {

AnchorKeeper::AnchorKeeper(QWidget* parent, QSize designSize)
    : QObject(parent), parent_(parent), designSize_(designSize) {
  parent->installEventFilter(this);
}

void AnchorKeeper::Add(QWidget* control, unsigned anchors) {
  entries_.push_back({control, control->geometry(), anchors});
}

QRect AnchorKeeper::place(const QRect& design, QSize designSize, QSize size, unsigned anchors) {
  const int dx = size.width() - designSize.width();
  const int dy = size.height() - designSize.height();
  QRect r = design;
  if (anchors & AnchorRight) {
    if (anchors & AnchorLeft)
      r.setWidth(std::max(0, design.width() + dx));
    else
      r.moveLeft(design.left() + dx);
  }
  if (anchors & AnchorBottom) {
    if (anchors & AnchorTop)
      r.setHeight(std::max(0, design.height() + dy));
    else
      r.moveTop(design.top() + dy);
  }
  return r;
}

void AnchorKeeper::apply() {
  const QSize size = parent_->size();
  for (const Entry& e : entries_)
    e.control->setGeometry(place(e.design, designSize_, size, e.anchors));
}

bool AnchorKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) apply();
  return QObject::eventFilter(watched, event);
}

}  // namespace corvadex
