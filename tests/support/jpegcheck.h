#pragma once

// Reading back what the JPEG library wrote, with libjpeg-turbo itself rather
// than with any code of ours, and comparing pictures loosely.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <cstdlib>
#include <turbojpeg.h>

// Internal linkage: the program has a decodeJpeg of its own with the same
// parameters, and two external definitions would let the linker call this one
// from the picture loader of any test that includes both.
namespace {

struct DecodedJpeg
{
    QImage image;
    int subsampling = -1;
};

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline DecodedJpeg decodeJpeg(const QByteArray& jpeg)
{
    DecodedJpeg decoded;
    tjhandle handle = tjInitDecompress();
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0;
    int height = 0;
    int colorspace = 0;
    if (handle && tjDecompressHeader3(handle, data, size, &width, &height, &decoded.subsampling,
                                      &colorspace) == 0) {
        QImage image(width, height, QImage::Format_RGB888);
        if (tjDecompress2(handle, data, size, image.bits(), width,
                          static_cast<int>(image.bytesPerLine()), height, TJPF_RGB, 0) == 0)
            decoded.image = image;
    }
    if (handle)
        tjDestroy(handle);
    return decoded;
}

// The first start-of-frame marker, found by walking the segments from the start
// (0xC0 baseline, 0xC2 progressive); 0 when there is none.
inline int frameMarker(const QByteArray& jpeg)
{
    const auto byte = [&jpeg](qsizetype i) { return static_cast<unsigned char>(jpeg.at(i)); };
    if (jpeg.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return 0;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && byte(at) == 0xFF) {
        const int marker = byte(at + 1);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return 0xFF00 | marker;
        at += 2 + (byte(at + 2) << 8 | byte(at + 3));
    }
    return 0;
}

// The mean absolute difference per colour channel; -1 for different sizes.
inline double meanAbsError(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                     std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * a.width() * a.height());
}

// A picture that JPEG can keep well: soft gradients with a few hard edges.
inline QImage smoothImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool block = (x / 40 + y / 40) % 2 == 0;
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, block ? 200 : 60));
        }
    }
    return image;
}

} // namespace
