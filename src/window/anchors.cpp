// SPDX-License-Identifier: Apache-2.0
#include "window/anchors.h"

#include <QEvent>
#include <QWidget>

namespace corvadex {


AnchorKeeper::AnchorKeeper(QWidget* parent, QSize designSize)
    : QObject(parent), parent_(parent), designSize_(designSize) {
  parent->installEventFilter(this);
}

void AnchorKeeper::Add(QWidget* control, unsigned anchors) {
  entries_.push_back({control, control->geometry(), anchors});
}

void AnchorKeeper::apply() {
  const QSize size = parent_->size();
  for (const Entry& e : entries_)
    e.control->setGeometry(toQRect(anchoredRect(toRect(e.design), {designSize_.width(), designSize_.height()},
                                                {size.width(), size.height()}, e.anchors)));
}

bool AnchorKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) apply();
  return QObject::eventFilter(watched, event);
}

}  // namespace corvadex
