// SPDX-License-Identifier: Apache-2.0
// The program's picture: a 48 by 48 address-book card, drawn in code as a
// 24-bit image. Its bottom-left pixel holds the colour that is left out when
// the picture is drawn transparently.
#pragma once

#include <QImage>
#include <QPixmap>

namespace corvadex {

QImage aboutPicture();

// The picture with every pixel of its bottom-left pixel's colour left out.
QPixmap transparentPicture(const QImage& picture);

}  // namespace corvadex
