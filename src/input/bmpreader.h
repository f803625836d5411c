#pragma once

// Reads uncompressed 24- and 32-bit BMP files, the kind that screenshots and
// scanners write, in one pass from the file into the picture surface's pixel
// format. Returns nullopt for the variants it leaves to Qt's reader (palettes,
// RLE, unusual bit masks, the old OS/2 header).

#include "input/pictureloader.h"

#include <QIODevice>
#include <optional>

std::optional<PictureLoad> decodeBmp(QIODevice& file);
