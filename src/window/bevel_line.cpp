// SPDX-License-Identifier: Apache-2.0
#include "window/bevel_line.h"

#include <QPainter>

namespace corvadex {

void BevelLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int bottom = height() - 1;
  p.setPen(palette().color(QPalette::Dark));
  p.drawLine(0, bottom - 1, width() - 1, bottom - 1);
  p.setPen(palette().color(QPalette::Light));
  p.drawLine(0, bottom, width() - 1, bottom);
}

}  // namespace corvadex
