#include "input/exiforientation.h"

#include <QTransform>
#include <cstring>

namespace {

// A bounds-checked view of the TIFF structure inside the Exif segment.
class TiffView
{
  public:
    TiffView(const uchar* data, qsizetype size, bool bigEndian)
        : m_data(data), m_size(size), m_bigEndian(bigEndian)
    {
    }

    bool has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
    }
    quint16 u16(qsizetype at) const
    {
        return m_bigEndian ? quint16(m_data[at] << 8 | m_data[at + 1])
                           : quint16(m_data[at] | m_data[at + 1] << 8);
    }
    quint32 u32(qsizetype at) const
    {
        return m_bigEndian ? quint32(u16(at)) << 16 | u16(at + 2)
                           : quint32(u16(at + 2)) << 16 | u16(at);
    }

  private:
    const uchar* m_data;
    qsizetype m_size;
    bool m_bigEndian;
};

int orientationInTiff(const uchar* tiff, qsizetype size)
{
    if (size < 8)
        return 1;
    bool bigEndian = false;
    if (std::memcmp(tiff, "MM\0*", 4) == 0)
        bigEndian = true;
    else if (std::memcmp(tiff, "II*\0", 4) != 0)
        return 1;
    const TiffView view(tiff, size, bigEndian);
    const qsizetype directory = view.u32(4);
    if (!view.has(directory, 2))
        return 1;
    const int entries = view.u16(directory);
    for (int i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + qsizetype(i) * 12;
        if (!view.has(entry, 12))
            return 1;
        constexpr quint16 kOrientationTag = 0x0112;
        constexpr quint16 kShortType = 3;
        if (view.u16(entry) != kOrientationTag)
            continue;
        if (view.u16(entry + 2) != kShortType || view.u32(entry + 4) != 1)
            return 1;
        const int value = view.u16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

} // namespace

int exifOrientation(const uchar* data, qsizetype size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return 1;
    // Walk the marker segments up to the start of the image data.
    qsizetype at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return 1;
        const uchar marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        constexpr uchar kStartOfScan = 0xDA;
        constexpr uchar kEndOfImage = 0xD9;
        if (marker == kStartOfScan || marker == kEndOfImage)
            return 1;
        const qsizetype length = data[at + 2] << 8 | data[at + 3];
        if (length < 2 || length > size - at - 2)
            return 1;
        const uchar* body = data + at + 4;
        const qsizetype bodySize = length - 2;
        constexpr uchar kApp1 = 0xE1;
        if (marker == kApp1 && bodySize >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return orientationInTiff(body + 6, bodySize - 6);
        at += 2 + length;
    }
    return 1;
}

QImage orientedImage(const QImage& image, int orientation)
{
    const QTransform quarterTurn = QTransform().rotate(90);
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // transposed: flipped, then turned a quarter clockwise
        return image.mirrored(false, true).transformed(quarterTurn);
    case 6:
        return image.transformed(quarterTurn);
    case 7: // transversed: mirrored, then turned a quarter clockwise
        return image.mirrored(true, false).transformed(quarterTurn);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}
