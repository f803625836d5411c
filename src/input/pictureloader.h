#pragma once

// Reads a picture file into an image for the picture surface. JPEG and
// uncompressed BMP have readers of their own, built for speed; every other
// format goes through Qt's image plugins. A file is refused before its picture
// is allocated when what the load would hold at once does not fit under the
// memory ceiling, or when the file is plainly too small for the size it claims.

#include "input/localfilename.h"

#include <QImage>
#include <QString>
#include <cstdint>

class LoadObserver;
class QIODevice;

struct PictureLoad
{
    QImage image;
    QString error; // why the file could not be loaded; empty on success

    bool ok() const { return error.isEmpty(); }
    static PictureLoad failure(const QString& why) { return {QImage(), why}; }
};

namespace pictureloader {

// Makes image opaque, as the picture surface shows every picture: transparent
// parts on white, in the image's own memory (32-bit formats in place, smaller
// ones grown in place where Qt can). False when memory runs out.
bool flattenInPlace(QImage& image);

// Empty when a width x height picture at 4 bytes per pixel, plus besidePicture
// bytes that the reader holds at the same time, fits under the memory ceiling;
// otherwise the message that refuses it.
QString memoryRefusal(std::int64_t width, std::int64_t height, std::int64_t besidePicture = 0);

} // namespace pictureloader

PictureLoad loadPicture(const LocalFileName& name, LoadObserver* observer = nullptr);
PictureLoad loadPicture(const QString& path);
// The same reading from an open device that can seek (a QBuffer in the fuzzing
// harness); the name versions check the file and read it through this one.
PictureLoad loadPicture(QIODevice& device, LoadObserver* observer = nullptr);
