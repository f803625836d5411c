#pragma once

// Decodes a JPEG file with libjpeg-turbo, streaming it from the device, into
// the picture surface's pixel format, and stands the picture upright as its
// EXIF orientation says while it decodes. CMYK and YCCK files are converted
// here too, so every JPEG goes through the same limits.

#include "input/pictureloader.h"

class LoadObserver;
class QIODevice;

PictureLoad readJpeg(QIODevice& file, LoadObserver* observer);
