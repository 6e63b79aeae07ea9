// SPDX-License-Identifier: Apache-2.0
#include "window/about_picture.h"

#include <QBitmap>
#include <QPainter>

namespace corvadex {

QImage aboutPicture() {
  QImage image(48, 48, QImage::Format_RGB888);
  const QColor key(255, 0, 255);  // left out when drawn transparently
  image.fill(key);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);  // no blends with the key colour at the edges

  // Card body with the binding on its left.
  p.setPen(QColor(0, 0, 128));
  p.setBrush(QColor(40, 90, 170));
  p.drawRect(6, 4, 36, 40);
  p.setBrush(QColor(250, 250, 240));
  p.drawRect(11, 7, 28, 34);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 200, 200));
  for (int y = 9; y < 41; y += 6) p.drawRect(4, y, 4, 3);  // rings

  // A person on the page: head and shoulders.
  p.setBrush(QColor(220, 140, 60));
  p.drawEllipse(QPoint(25, 17), 5, 5);
  p.setBrush(QColor(60, 120, 60));
  p.drawRect(17, 24, 17, 6);
  p.drawRect(19, 22, 13, 2);

  // Lines of text under the person.
  p.setBrush(QColor(120, 120, 120));
  p.drawRect(15, 33, 20, 1);
  p.drawRect(15, 36, 16, 1);
  p.end();
  return image;
}

QPixmap transparentPicture(const QImage& picture) {
  QPixmap pixmap = QPixmap::fromImage(picture);
  if (picture.isNull()) return pixmap;
  const QColor key = picture.pixelColor(0, picture.height() - 1);
  pixmap.setMask(pixmap.createMaskFromColor(key, Qt::MaskInColor));
  return pixmap;
}

}  // namespace corvadex
