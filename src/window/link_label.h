// SPDX-License-Identifier: Apache-2.0
// A label that acts on a click (the "About" link and the about dialog's web
// link): a press and release of the left button over it run its handler.
#pragma once

#include <QLabel>
#include <functional>

namespace corvadex {

class LinkLabel final : public QLabel {
 public:
  LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
  }
  void setOnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::function<void()> onClick_;
  bool pressed_ = false;
};

}  // namespace corvadex
