#pragma once

// Reads uncompressed 16-, 24- and 32-bit BMP files, the kind that screenshots
// and scanners write, in one pass from the file into the picture surface's
// pixel format; channels narrower than 8 bits are widened exactly (31 of 5
// bits is 255). Returns nullopt for the variants it leaves to Qt's reader
// (palettes, RLE, 32-bit transparency, overlapping bit masks, the old OS/2 header).

#include "input/pictureloader.h"

#include <QIODevice>
#include <optional>

class LoadObserver;

std::optional<PictureLoad> decodeBmp(QIODevice& file, LoadObserver* observer);
