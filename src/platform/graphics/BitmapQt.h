#pragma once
// Private to platform code: the pixels of a TBitmap as Qt images.

#include <QImage>

#include "platform/graphics/Bitmap.h"

// The bitmap's pixels as an opaque 32-bit image (the alpha bytes of pf32bit are ignored); shares
// the pixels until either side changes.
QImage BitmapImageRGB32(const TBitmap& bitmap);
// The bitmap's pixels with pf32bit alpha as the image's alpha channel (for icons and cursors).
QImage BitmapImageARGB32(const TBitmap& bitmap);
// Replaces the bitmap's pixels with an image: pf32bit (alpha kept) when the image has an alpha
// channel, pf4bit for images of 16 colors or fewer at 4 bits or less, pf24bit otherwise.
void BitmapAssignImage(TBitmap& bitmap, const QImage& image);
