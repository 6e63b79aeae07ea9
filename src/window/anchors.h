// SPDX-License-Identifier: Apache-2.0
// Anchors: a control anchored to an edge of its parent keeps its distance to
// that edge when the parent is resized. Anchored left and right, it
// stretches horizontally; right only, it moves with the right edge; top and
// bottom, it stretches vertically. (A side anchored on neither edge keeps its
// place, which is all this program needs.)
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace corvadex {

enum Anchor : unsigned {
  AnchorLeft = 1,
  AnchorTop = 2,
  AnchorRight = 4,
  AnchorBottom = 8,
};

// Watches a parent widget and re-places its anchored children on each resize.
// Distances are taken from the geometry each child has when it is added,
// against the parent's size at that moment (its design size).
class AnchorKeeper : public QObject {
 public:
  explicit AnchorKeeper(QWidget* parent, QSize designSize);

  void Add(QWidget* control, unsigned anchors);

  // The geometry a control placed at `design` within a parent of
  // `designSize` takes when the parent is `size`.
  static QRect place(const QRect& design, QSize designSize, QSize size, unsigned anchors);

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
