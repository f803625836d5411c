#pragma once

// Reads a picture file into an image for the picture surface. JPEG and
// uncompressed BMP have readers of their own, built for speed; every other
// format goes through Qt's image plugins. A file is refused before anything is
// allocated when its header claims more pixels than the program will hold.

#include <QImage>
#include <QString>
#include <cstdint>

struct PictureLoad
{
    QImage image;
    QString error; // why the file could not be loaded; empty on success

    bool ok() const { return error.isEmpty(); }
    static PictureLoad failure(const QString& why) { return {QImage(), why}; }
};

namespace pictureloader {

// The ceiling on a decoded picture: 1 GiB at 4 bytes per pixel.
inline constexpr std::int64_t maxPictureBytes = std::int64_t(1) << 30;

// True when a picture of this size stays under the ceiling.
bool fitsLimit(std::int64_t width, std::int64_t height);
QString tooLarge(std::int64_t width, std::int64_t height);

} // namespace pictureloader

class QIODevice;

PictureLoad loadPicture(const QString& path);
// The same reading from an open device that can seek (a QBuffer in the fuzzing
// harness); the path version checks the file and reads it through this one.
PictureLoad loadPicture(QIODevice& device);
