// SPDX-License-Identifier: Apache-2.0
// Keeps a window's controls anchored (see window_layout.h) when it is
// resized.
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

#include "window/window_layout.h"

class QWidget;

namespace corvadex {

// A place of the layout table as Qt takes it, and back.
inline QRect toQRect(const Rect& r) { return {r.left, r.top, r.width, r.height}; }
inline Rect toRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// Watches a parent widget and re-places its anchored children on each resize.
// Distances are taken from the geometry each child has when it is added,
// against the parent's size at that moment (its design size).
class AnchorKeeper : public QObject {
 public:
  explicit AnchorKeeper(QWidget* parent, QSize designSize);

  void Add(QWidget* control, unsigned anchors);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QWidget* control;
    QRect design;
    unsigned anchors;
  };
  void apply();

  QWidget* parent_;
  QSize designSize_;
  std::vector<Entry> entries_;
};

}  // namespace corvadex
