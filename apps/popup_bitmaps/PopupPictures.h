#pragma once

#include <QImage>

#include "Bmp4Writer.h"

namespace qm::popup_bitmaps {

// The good-read picture (bitmap 142): "Scan OK!" in black on grey, 129 x 51.
QImage drawGoodReadPicture();
// The no-read picture (bitmap 141): a warning triangle, then "Scan Failed!", 180 x 51.
QImage drawNoReadPicture();

// Every pixel as its nearest palette colour, without dithering.
IndexedPicture quantise(const QImage& image);
QImage toImage(const IndexedPicture& picture);

}  // namespace qm::popup_bitmaps
