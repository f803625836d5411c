#pragma once

// Decodes a JPEG file held in memory straight into the picture surface's pixel
// format with libjpeg-turbo, and stands the picture upright as its EXIF
// orientation says. Returns nullopt for colour spaces it does not convert
// (CMYK), which Qt's own reader then takes.

#include "input/pictureloader.h"

#include <QByteArray>
#include <optional>

std::optional<PictureLoad> decodeJpeg(const QByteArray& bytes);
