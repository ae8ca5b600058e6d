#pragma once
// Uncompressed Windows bitmaps (24 and 32 bits a pixel) read without any
// window library, for the terminal program. The window program reads
// bitmaps with Qt's image reader.

#include <QByteArray>

#include "screenshots/core/JpegCodec.h"

// Throws EPictureRefused for anything else than an uncompressed 24- or
// 32-bit bitmap, for damaged data and for a picture above the size limit.
TPixels DecodeBmp(const QByteArray &data, qint64 maxPixels = kMaxPicturePixels);
